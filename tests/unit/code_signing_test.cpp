// Signing outputs: the certificate table and headers read back field by field, the PKCS#7
// structure read with OpenSSL directly, the digest over exactly the bytes it covers, changes
// refused wherever the digest covers them, the PKCS#12 file's faults named, timestamps.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/pkcs7.h>

#include <filesystem>

#include "common/image_signature.h"
#include "common/signature_error.h"
#include "common/signed_digest.h"
#include "conversion/conversion_job.h"
#include "conversion/progress_counters.h"
#include "package/pe_headers.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/file_byte_source.h"
#include "signing/output_signer.h"
#include "signing/signature_check.h"
#include "support/cli_output.h"
#include "support/code_signing.h"
#include "support/pe_inspect.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

constexpr char kPassword[] = "correct horse";
constexpr std::size_t kCertificateEntryIndex = 4;

using QuietSink = ProgressCounters;

class CodeSigning : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::OnPath("openssl")) {
            GTEST_SKIP() << "openssl is not installed";
        }
        certificate_ =
            test::MakeTestCertificate(dir_.path(), "author", "Quorlix Author", kPassword);
        unsigned_ = MakeOutput();
    }

    // An unsigned output of a document of random bytes.
    std::string MakeOutput() {
        fs::create_directories(dir_ / "stage");
        const ConversionPaths paths{dir_ / "Plan.doc", dir_ / "stage/~~~.txt",
                                    dir_ / "out/Plan.exe", dir_ / "fonts"};
        test::WriteFile(paths.sourcePath, test::RandomBytes(70001, 3));
        QuietSink sink;
        EXPECT_TRUE(RunConversion(OptionSet{}, paths, sink));
        return test::ReadFile(paths.outputPath);
    }

    // The bytes signed as a file at path.
    std::string Signed(const std::string& bytes, const std::string& timestampUrl = {}) {
        const std::string path = dir_ / ("signed-" + std::to_string(++count_) + ".exe");
        test::WriteFile(path, bytes);
        const OutputSigner signer(certificate_.pkcs12, kPassword, timestampUrl);
        File file = File::Open(path, File::Mode::WriteExclusive);
        signer.Sign(file);
        file.Close();
        return test::ReadFile(path);
    }

    static SignatureReport Check(const std::string& bytes) {
        MemoryByteSource source(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        return CheckCodeSignature(source);
    }

    // The cause CheckCodeSignature gives; empty when the signature holds.
    static std::string Refusal(const std::string& bytes) {
        try {
            Check(bytes);
        } catch (const SignatureError& e) {
            return e.what();
        }
        return {};
    }

    TestFolder dir_;
    test::TestCertificate certificate_;
    std::string unsigned_;
    int count_ = 0;
};

// SHA-256 with OpenSSL directly.
std::string Sha256(const std::string& bytes) {
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), value, &length, EVP_sha256(), nullptr), 1);
    return std::string(reinterpret_cast<const char*>(value), length);
}

std::string DigestedBytes(const std::string& file, std::size_t checksum, std::size_t entry,
                          std::size_t end) {
    return file.substr(0, checksum) + file.substr(checksum + 4, entry - checksum - 4) +
           file.substr(entry + 8, end - entry - 8);
}

// A PKCS#12 file of a key and a certificate that do not belong together, both marked as one
// pair; the library's own PKCS12_create refuses to make one.
std::string MismatchedPkcs12(const std::string& keyPath, const std::string& certificatePath) {
    FILE* keyFile = std::fopen(keyPath.c_str(), "r");
    FILE* certificateFile = std::fopen(certificatePath.c_str(), "r");
    EVP_PKEY* key = keyFile ? PEM_read_PrivateKey(keyFile, nullptr, nullptr, nullptr) : nullptr;
    X509* certificate =
        certificateFile ? PEM_read_X509(certificateFile, nullptr, nullptr, nullptr) : nullptr;
    for (FILE* file : {keyFile, certificateFile}) {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    STACK_OF(PKCS12_SAFEBAG)* bags = nullptr;
    STACK_OF(PKCS7)* safes = nullptr;
    unsigned char id[] = "pair";
    PKCS12_SAFEBAG* certificateBag = PKCS12_add_cert(&bags, certificate);
    PKCS12_SAFEBAG* keyBag =
        PKCS12_add_key(&bags, key, 0, PKCS12_DEFAULT_ITER, NID_aes_256_cbc, kPassword);
    std::string bytes;
    if (certificateBag != nullptr && keyBag != nullptr &&
        PKCS12_add_localkeyid(certificateBag, id, 4) == 1 &&
        PKCS12_add_localkeyid(keyBag, id, 4) == 1 &&
        PKCS12_add_safe(&safes, bags, -1, 0, nullptr) == 1) {
        PKCS12* p12 = PKCS12_add_safes(safes, 0);
        unsigned char* der = nullptr;
        if (p12 != nullptr && PKCS12_set_mac(p12, kPassword, -1, nullptr, 0, 2048, nullptr) == 1) {
            const int length = i2d_PKCS12(p12, &der);
            bytes.assign(reinterpret_cast<char*>(der), length > 0 ? length : 0);
        }
        OPENSSL_free(der);
        PKCS12_free(p12);
    }
    EXPECT_FALSE(bytes.empty());
    sk_PKCS7_pop_free(safes, PKCS7_free);
    sk_PKCS12_SAFEBAG_pop_free(bags, PKCS12_SAFEBAG_free);
    X509_free(certificate);
    EVP_PKEY_free(key);
    return bytes;
}

PKCS7* ParsePkcs7(const std::string& der) {
    const auto* at = reinterpret_cast<const unsigned char*>(der.data());
    return d2i_PKCS7(nullptr, &at, static_cast<long>(der.size()));
}

TEST_F(CodeSigning, SignatureIsAppendedAsTheCertificateTableWithHeadersToMatch) {
    const std::string signedBytes = Signed(unsigned_);
    const test::PeInfo before = test::ReadPeInfo(unsigned_);
    const test::PeInfo after = test::ReadPeInfo(signedBytes);
    const std::size_t padded = (unsigned_.size() + 7) / 8 * 8;

    // The table starts at the first 8-byte boundary after the unsigned file and ends the file.
    EXPECT_EQ(after.directoryRva[kCertificateEntryIndex], padded);
    EXPECT_EQ(after.directorySize[kCertificateEntryIndex], signedBytes.size() - padded);
    EXPECT_EQ(before.directorySize[kCertificateEntryIndex], 0u);
    EXPECT_EQ(signedBytes.substr(unsigned_.size(), padded - unsigned_.size()),
              std::string(padded - unsigned_.size(), '\0'));
    EXPECT_EQ(signedBytes.size() % 8, 0u);
    EXPECT_EQ(test::Le32(signedBytes, padded), signedBytes.size() - padded) << "length";
    EXPECT_EQ(test::Le16(signedBytes, padded + 4), 0x0200) << "revision";
    EXPECT_EQ(test::Le16(signedBytes, padded + 6), 0x0002) << "PKCS#7 signed data";
    EXPECT_EQ(after.checkSum, test::ComputeCheckSum(signedBytes, after.checkSumOffset));

    // Nothing else of the unsigned file changed.
    const std::size_t entry = after.optionalHeader + 96 + 8 * kCertificateEntryIndex;
    std::string unchanged = signedBytes.substr(0, unsigned_.size());
    unchanged.replace(after.checkSumOffset, 4, unsigned_.substr(after.checkSumOffset, 4));
    unchanged.replace(entry, 8, unsigned_.substr(entry, 8));
    EXPECT_TRUE(unchanged == unsigned_);

    // The output still ends its payload with the end marker in front of the signature.
    EXPECT_EQ(signedBytes.substr(unsigned_.size() - 256, 256), std::string(256, '\x0E'));

    // The digest the signature holds is SHA-256 over all but the checksum and the entry.
    const std::string blob = signedBytes.substr(padded + 8);
    const SignedDigest digest =
        FindSignedDigest({reinterpret_cast<const std::uint8_t*>(blob.data()), blob.size()});
    EXPECT_EQ(digest.kind, DigestKind::Sha256);
    EXPECT_EQ(std::string(digest.value.begin(), digest.value.end()),
              Sha256(DigestedBytes(signedBytes, after.checkSumOffset, entry, padded)));
}

TEST_F(CodeSigning, SignedDataCarriesTheChainAndNoSigningTime) {
    const std::string signedBytes = Signed(unsigned_);
    const std::size_t padded = (unsigned_.size() + 7) / 8 * 8;
    PKCS7* p7 = ParsePkcs7(signedBytes.substr(padded + 8));
    ASSERT_NE(p7, nullptr);
    ASSERT_TRUE(PKCS7_type_is_signed(p7));
    EXPECT_EQ(ASN1_INTEGER_get(p7->d.sign->version), 1);
    char type[64];
    OBJ_obj2txt(type, sizeof type, p7->d.sign->contents->type, 1);
    EXPECT_STREQ(type, "1.3.6.1.4.1.311.2.1.4");
    EXPECT_EQ(sk_X509_num(p7->d.sign->cert), 1);
    ASSERT_EQ(sk_PKCS7_SIGNER_INFO_num(p7->d.sign->signer_info), 1);
    PKCS7_SIGNER_INFO* signer = sk_PKCS7_SIGNER_INFO_value(p7->d.sign->signer_info, 0);
    EXPECT_EQ(PKCS7_get_signed_attribute(signer, NID_pkcs9_signingTime), nullptr);
    EXPECT_NE(PKCS7_get_signed_attribute(signer, NID_pkcs9_messageDigest), nullptr);
    EXPECT_EQ(OBJ_obj2nid(signer->digest_alg->algorithm), NID_sha256);
    PKCS7_free(p7);

    const SignatureReport report = Check(signedBytes);
    EXPECT_TRUE(report.isSigned);
    EXPECT_EQ(report.signer, certificate_.subject);
    EXPECT_EQ(report.digest, "SHA256");
    EXPECT_EQ(report.timestamp, "");
    EXPECT_EQ(report.signedPart.size, padded);

    // The same output and certificate sign to the same bytes.
    EXPECT_TRUE(Signed(unsigned_) == signedBytes);
}

TEST_F(CodeSigning, AChangeAnywhereTheDigestCoversIsRefused) {
    const std::string signedBytes = Signed(unsigned_);
    const std::size_t padded = (unsigned_.size() + 7) / 8 * 8;
    const test::ReadOutput parts = test::ReadBack(unsigned_);
    const std::string changed =
        "the file was changed after it was signed: its digest does not match the signature";
    struct Place {
        const char* what;
        std::size_t offset;
    };
    for (const Place& place :
         {Place{"stub", 0x400}, Place{"document", parts.documentStart + 10},
          Place{"package", parts.package.start + 3}, Place{"end marker", unsigned_.size() - 1},
          Place{"padding", padded - 1}}) {
        if (place.offset >= padded) {
            continue;
        }
        std::string bytes = signedBytes;
        bytes[place.offset] = static_cast<char>(bytes[place.offset] ^ 0x01);
        EXPECT_EQ(Refusal(bytes), changed) << place.what;
    }

    // The checksum is outside the digest; bytes after the signature are not.
    const test::PeInfo info = test::ReadPeInfo(signedBytes);
    std::string checksum = signedBytes;
    checksum[info.checkSumOffset] = static_cast<char>(checksum[info.checkSumOffset] ^ 0x01);
    EXPECT_EQ(Refusal(checksum), "");
    EXPECT_EQ(Refusal(signedBytes + "more"),
              "the file was changed after it was signed: 4 bytes follow the signature");

    // A changed byte of the signature value itself: the digest still matches, the signature not.
    std::string signature = signedBytes;
    signature[signature.size() - 20] = static_cast<char>(signature[signature.size() - 20] ^ 0x01);
    EXPECT_TRUE(Refusal(signature).starts_with("the signature is not valid for the certificate"))
        << Refusal(signature);

    // A table that does not start where its entry says.
    std::string moved = signedBytes;
    const std::size_t entry = info.optionalHeader + 96 + 8 * kCertificateEntryIndex;
    test::PutLe32(moved, entry, static_cast<std::uint32_t>(signedBytes.size()));
    EXPECT_EQ(Refusal(moved), "the certificate table lies outside the file");
}

TEST_F(CodeSigning, TheDigestReaderRefusesEveryCutAndSurvivesDamage) {
    const std::string signedBytes = Signed(unsigned_);
    const std::string blob = signedBytes.substr((unsigned_.size() + 7) / 8 * 8 + 8);
    const auto* data = reinterpret_cast<const std::uint8_t*>(blob.data());
    // Every cut before the digest's end is refused, never read past.
    std::size_t readable = blob.size();
    for (std::size_t length = 0; length < blob.size(); ++length) {
        try {
            FindSignedDigest({data, length});
            readable = std::min(readable, length);
        } catch (const SignatureError&) {
        }
    }
    EXPECT_LT(readable, blob.size()) << "the digest is read without the certificates after it";
    EXPECT_GT(readable, 60u);
    // Flipped bytes give an error or a digest, never a crash (the sanitizers watch).
    std::string damaged = blob;
    for (std::size_t i = 0; i < 200 && i < blob.size(); ++i) {
        damaged[i] = static_cast<char>(blob[i] ^ 0x80);
        try {
            FindSignedDigest({reinterpret_cast<const std::uint8_t*>(damaged.data()), 200});
        } catch (const SignatureError&) {
        }
        damaged[i] = blob[i];
    }
    const std::uint8_t indefinite[] = {0x30, 0x80, 0x06, 0x01, 0x00, 0x00, 0x00};
    EXPECT_THROW(FindSignedDigest(indefinite), SignatureError);
    const std::uint8_t tooLong[] = {0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_THROW(FindSignedDigest(tooLong), SignatureError);
}

TEST_F(CodeSigning, FaultsOfThePkcs12FileAreNamed) {
    const auto message = [](const std::string& path, const std::string& password) {
        try {
            OutputSigner signer(path, password, "");
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(message(certificate_.pkcs12, "wrong"), "wrong password for " + certificate_.pkcs12);
    EXPECT_EQ(message(dir_ / "missing.p12", kPassword),
              "cannot read " + dir_ / "missing.p12" + ": No such file or directory");
    test::WriteFile(dir_ / "text.p12", "not a certificate at all");
    EXPECT_EQ(message(dir_ / "text.p12", kPassword), dir_ / "text.p12" + " is not a PKCS#12 file");
    EXPECT_EQ(message(certificate_.pkcs12, kPassword), "");

    // A key packed with a certificate of another key, as a careless tool may pack them.
    const test::TestCertificate other =
        test::MakeTestCertificate(dir_.path(), "other", "Someone Else", kPassword);
    test::WriteFile(dir_ / "mixed.p12", MismatchedPkcs12(other.key, certificate_.certificate));
    EXPECT_EQ(message(dir_ / "mixed.p12", kPassword),
              "the key in " + dir_ / "mixed.p12" + " does not match its certificate");

    EXPECT_THROW(OutputSigner(certificate_.pkcs12, kPassword, "https://tsa.example/"), Error);
    EXPECT_THROW(OutputSigner(certificate_.pkcs12, kPassword, "ftp://tsa.example/"), Error);
}

TEST_F(CodeSigning, ATimestampFromTheAuthorityIsAddedAndChecked) {
    TestFolder tsaFolder;
    const test::TimestampResponder authority(tsaFolder.path());
    const std::string signedBytes = Signed(unsigned_, authority.url());
    EXPECT_EQ(authority.requests(), 1);
    const SignatureReport report = Check(signedBytes);
    EXPECT_EQ(report.signer, certificate_.subject);
    ASSERT_TRUE(
        report.timestamp.ends_with(" UTC by " + std::string(test::TimestampResponder::kSubject)))
        << report.timestamp;
    EXPECT_EQ(report.timestamp.size(), std::string("2026-01-31 12:00:00 UTC by ").size() +
                                           std::string(test::TimestampResponder::kSubject).size());

    // The token travels in the certificate table, after the signature it stamps.
    EXPECT_GT(signedBytes.size(), Signed(unsigned_).size() + 1000);

    // An authority that refuses: the signing fails and says where it asked.
    TestFolder refusingFolder;
    const test::TimestampResponder refusing(refusingFolder.path(), true);
    try {
        Signed(unsigned_, refusing.url());
        ADD_FAILURE() << "signed without a timestamp";
    } catch (const Error& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("no timestamp from " + refusing.url() + " ("))
            << e.what();
    }
    EXPECT_EQ(refusing.requests(), 1);
}

TEST(PeChecksumSum, RunsInAnyOrderAndAtOddPositionsGiveTheWordByWordChecksum) {
    const std::string file = test::RandomBytes(10001, 9);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    const std::size_t field = 132;
    PeChecksumSum sum;
    sum.Add(5001, {bytes + 5001, 5000});
    sum.Add(field + 4, {bytes + field + 4, 5001 - field - 4});
    sum.Add(0, {bytes, 77});
    sum.Add(77, {bytes + 77, field - 77});
    EXPECT_EQ(sum.Finish(file.size()), test::ComputeCheckSum(file, field));
    EXPECT_EQ(PeChecksum({bytes, file.size()}, field), test::ComputeCheckSum(file, field));
    EXPECT_EQ(PeChecksumSum().Finish(12), 12u);
}

}  // namespace
}  // namespace quorlix
