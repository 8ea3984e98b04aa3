#include "signing/output_signer.h"

#include "common/byte_order.h"
#include "common/image_signature.h"
#include "common/payload_layout.h"
#include "package/pe_headers.h"
#include "platform/error.h"
#include "platform/file_byte_source.h"
#include "signing/code_signature.h"
#include "signing/image_digest.h"
#include "signing/timestamp_client.h"

namespace quorlix {

namespace {

// The certificate table: one certificate of PKCS#7 signed data, padded with zeros to 8 bytes;
// its length counts the padding.
std::vector<std::uint8_t> CertificateTable(const DerBytes& signature) {
    const auto length = static_cast<std::uint32_t>(
        AlignUp(kCertificateHeaderSize + signature.size(), kCertificateAlignment));
    std::vector<std::uint8_t> table;
    table.reserve(length);
    PutLE32(table, length);
    PutLE16(table, kCertificateRevision);
    PutLE16(table, kSignedDataCertificate);
    table.insert(table.end(), signature.begin(), signature.end());
    table.resize(length, 0);
    return table;
}

// The player and the commands look for the end marker only this far from the end of the file.
void CheckTailFits(std::uint64_t unsignedSize, std::uint64_t signedSize) {
    if (signedSize - unsignedSize + kEndMarkerSize > kEndMarkerSearchSpan) {
        throw Error("the signature of " + std::to_string(signedSize - unsignedSize) +
                    " bytes is too large: the end marker must stay within the last " +
                    std::to_string(kEndMarkerSearchSpan) + " bytes of the output");
    }
}

}  // namespace

OutputSigner::OutputSigner(const std::string& pkcs12Path, const std::string& password,
                           std::string timestampUrl)
    : identity_(LoadSigningIdentity(pkcs12Path, password)),
      timestampUrl_(std::move(timestampUrl)),
      subject_(SubjectOf(identity_.certificate.get())) {
    if (!timestampUrl_.empty()) {
        CheckTimestampAddress(timestampUrl_);
    }
}

void OutputSigner::Sign(File& output) const {
    const std::uint64_t size = output.Size();
    const std::uint64_t padded = AlignUp(size, kCertificateAlignment);
    if (padded + kEndMarkerSearchSpan > UINT32_MAX) {
        throw Error(
            "an output of 4 GiB or more cannot be signed: the signature's place is a "
            "32-bit offset");
    }
    const std::vector<std::uint8_t> zeros(padded - size, 0);
    output.SeekEnd();
    output.WriteAll(zeros.data(), zeros.size());

    FileByteSource source(output);
    const std::optional<ImageSignatureFields> fields = ReadImageSignatureFields(source);
    if (!fields) {
        throw Error("the output is not a Windows executable with a certificate table entry");
    }
    if (fields->Signed()) {
        throw Error("the output is signed already");
    }
    PeChecksumSum checksum;
    const std::vector<std::uint8_t> digest =
        ImageDigest(source, *fields, padded, EVP_sha256(), &checksum);
    const std::vector<std::uint8_t> table =
        CertificateTable(BuildCodeSignature(identity_, digest, timestampUrl_));
    CheckTailFits(size, padded + table.size());
    output.Seek(padded);
    output.WriteAll(table.data(), table.size());

    std::uint8_t entry[8];
    SetLE32(entry, static_cast<std::uint32_t>(padded));
    SetLE32(entry + 4, static_cast<std::uint32_t>(table.size()));
    output.Seek(fields->certificateEntry);
    output.WriteAll(entry, sizeof entry);
    checksum.Add(fields->certificateEntry, entry);
    checksum.Add(padded, table);
    output.Seek(fields->checksumField);
    WriteLE32(output, checksum.Finish(padded + table.size()));
}

}  // namespace quorlix
