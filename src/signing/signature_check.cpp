#include "signing/signature_check.h"

#include <algorithm>

#include "common/image_signature.h"
#include "common/signature_error.h"
#include "platform/error.h"
#include "signing/authenticode_oids.h"
#include "signing/der_writer.h"
#include "signing/image_digest.h"
#include "signing/openssl_handles.h"
#include "signing/timestamp_check.h"

namespace quorlix {

namespace {

struct SequenceFree {
    void operator()(ASN1_SEQUENCE_ANY* items) const {
        sk_ASN1_TYPE_pop_free(items, ASN1_TYPE_free);
    }
};
using SequenceItems = std::unique_ptr<ASN1_SEQUENCE_ANY, SequenceFree>;

// The digest algorithm and value that the indirect data names.
struct NamedDigest {
    const EVP_MD* md = nullptr;
    std::vector<std::uint8_t> value;
};

Pkcs7Handle ParseSignature(std::span<const std::uint8_t> blob) {
    const unsigned char* at = blob.data();
    Pkcs7Handle signature(d2i_PKCS7(nullptr, &at, static_cast<long>(blob.size())));
    TakeOpenSslErrors();
    if (!signature || PKCS7_type_is_signed(signature.get()) == 0 || signature->d.sign == nullptr) {
        throw SignatureError("the code signature is not PKCS#7 signed data");
    }
    return signature;
}

// The signed content: the indirect data, DER encoded.
std::span<const std::uint8_t> IndirectContent(const PKCS7* signature) {
    const PKCS7* content = signature->d.sign->contents;
    const AsnObjectHandle indirect = ObjectId(kIndirectDataOid);
    if (content == nullptr || OBJ_cmp(content->type, indirect.get()) != 0 ||
        content->d.other == nullptr || content->d.other->type != V_ASN1_SEQUENCE) {
        throw SignatureError("the code signature does not sign a program's digest");
    }
    return AsnBytes(content->d.other->value.sequence);
}

SequenceItems Items(std::span<const std::uint8_t> der) {
    const unsigned char* at = der.data();
    SequenceItems items(d2i_ASN1_SEQUENCE_ANY(nullptr, &at, static_cast<long>(der.size())));
    TakeOpenSslErrors();
    if (!items) {
        throw SignatureError("the code signature's indirect data is malformed");
    }
    return items;
}

NamedDigest DigestNamedBy(std::span<const std::uint8_t> content) {
    const SequenceItems items = Items(content);
    const ASN1_TYPE* data = sk_ASN1_TYPE_value(items.get(), 0);
    const ASN1_TYPE* info = sk_ASN1_TYPE_value(items.get(), 1);
    if (sk_ASN1_TYPE_num(items.get()) != 2 || data->type != V_ASN1_SEQUENCE ||
        info->type != V_ASN1_SEQUENCE) {
        throw SignatureError("the code signature's indirect data is malformed");
    }
    const SequenceItems dataItems = Items(AsnBytes(data->value.sequence));
    const ASN1_TYPE* dataType = sk_ASN1_TYPE_value(dataItems.get(), 0);
    const AsnObjectHandle image = ObjectId(kPeImageDataOid);
    if (dataType == nullptr || dataType->type != V_ASN1_OBJECT ||
        OBJ_cmp(dataType->value.object, image.get()) != 0) {
        throw SignatureError("the code signature is not for a Windows program");
    }
    const std::span<const std::uint8_t> infoBytes = AsnBytes(info->value.sequence);
    const unsigned char* at = infoBytes.data();
    const X509SigHandle digestInfo(d2i_X509_SIG(nullptr, &at, static_cast<long>(infoBytes.size())));
    if (!digestInfo) {
        TakeOpenSslErrors();
        throw SignatureError("the code signature's digest is malformed");
    }
    const X509_ALGOR* algorithm = nullptr;
    const ASN1_OCTET_STRING* value = nullptr;
    X509_SIG_get0(digestInfo.get(), &algorithm, &value);
    NamedDigest named;
    named.md = EVP_get_digestbyobj(algorithm->algorithm);
    if (named.md == nullptr) {
        throw SignatureError(
            "the code signature names a digest algorithm this program does not know");
    }
    const std::span<const std::uint8_t> bytes = AsnBytes(value);
    named.value.assign(bytes.begin(), bytes.end());
    return named;
}

// The signature over the indirect data must be valid for the certificate it names.
void CheckSignatureValue(PKCS7* signature, std::span<const std::uint8_t> content) {
    if (sk_PKCS7_SIGNER_INFO_num(PKCS7_get_signer_info(signature)) != 1) {
        throw SignatureError("the code signature does not have exactly one signer");
    }
    std::span<const std::uint8_t> signedBytes;
    try {
        signedBytes = DerContents(content);
    } catch (const Error&) {
        throw SignatureError("the code signature's indirect data is malformed");
    }
    const BioHandle data(BIO_new_mem_buf(signedBytes.data(), static_cast<int>(signedBytes.size())));
    if (!data ||
        PKCS7_verify(signature, nullptr, nullptr, data.get(), nullptr, PKCS7_NOVERIFY) != 1) {
        throw SignatureError("the signature is not valid for the certificate it carries (" +
                             TakeOpenSslErrors() + ")");
    }
}

std::string SignerSubject(PKCS7* signature) {
    STACK_OF(X509)* signers = PKCS7_get0_signers(signature, nullptr, 0);
    TakeOpenSslErrors();
    if (signers == nullptr || sk_X509_num(signers) == 0) {
        sk_X509_free(signers);
        throw SignatureError("the code signature does not carry its signer's certificate");
    }
    std::string subject = NameText(X509_get_subject_name(sk_X509_value(signers, 0)));
    sk_X509_free(signers);
    return subject;
}

}  // namespace

SignatureReport CheckCodeSignature(ByteSource& source) {
    const ImageSignatureFields fields = CheckedImageSignatureFields(source);
    SignatureReport report;
    if (!fields.Signed()) {
        report.signedPart = {0, source.Size()};
        return report;
    }
    report.isSigned = true;
    report.signedPart = {0, fields.certificateTable.offset};
    const std::vector<std::uint8_t> blob = ReadSignatureBlob(source, fields);
    const Pkcs7Handle signature = ParseSignature(blob);
    const std::span<const std::uint8_t> content = IndirectContent(signature.get());
    const NamedDigest named = DigestNamedBy(content);
    report.digest = EVP_MD_get0_name(named.md);
    if (ImageDigest(source, fields, fields.certificateTable.offset, named.md) != named.value) {
        throw SignatureError(
            "the file was changed after it was signed: its digest does not match the signature");
    }
    CheckSignatureValue(signature.get(), content);
    report.signer = SignerSubject(signature.get());
    report.timestamp =
        CheckTimestamp(sk_PKCS7_SIGNER_INFO_value(PKCS7_get_signer_info(signature.get()), 0));
    return report;
}

std::string SignerOf(ByteSource& source) {
    try {
        const std::optional<ImageSignatureFields> fields = ReadImageSignatureFields(source);
        if (!fields || !fields->Signed()) {
            return {};
        }
        const Pkcs7Handle signature = ParseSignature(ReadSignatureBlob(source, *fields));
        return SignerSubject(signature.get());
    } catch (const std::exception&) {
        TakeOpenSslErrors();
        return {};
    }
}

}  // namespace quorlix
