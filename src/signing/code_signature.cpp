#include "signing/code_signature.h"

#include "platform/error.h"
#include "signing/authenticode_oids.h"
#include "signing/image_digest.h"
#include "signing/indirect_data.h"
#include "signing/timestamp_client.h"

namespace quorlix {

namespace {

[[noreturn]] void Fail(const std::string& step) {
    throw Error("cannot sign (" + step + "): " + TakeOpenSslErrors());
}

// Adds an attribute whose value is a DER encoded structure.
void AddStructureAttribute(STACK_OF(X509_ATTRIBUTE) * *attributes, const char* oid,
                           std::span<const std::uint8_t> value) {
    const AsnObjectHandle type = ObjectId(oid);
    if (X509at_add1_attr_by_OBJ(attributes, type.get(), V_ASN1_SEQUENCE, value.data(),
                                static_cast<int>(value.size())) == nullptr) {
        Fail("adding an attribute");
    }
}

// The indirect data as the signed data's content.
void SetContent(PKCS7* signature, const DerBytes& content) {
    Pkcs7Handle inner(PKCS7_new());
    ASN1_TYPE* value = ASN1_TYPE_new();
    ASN1_STRING* sequence = ASN1_STRING_type_new(V_ASN1_SEQUENCE);
    if (!inner || value == nullptr || sequence == nullptr ||
        ASN1_STRING_set(sequence, content.data(), static_cast<int>(content.size())) != 1) {
        ASN1_TYPE_free(value);
        ASN1_STRING_free(sequence);
        Fail("the content");
    }
    ASN1_TYPE_set(value, V_ASN1_SEQUENCE, sequence);
    inner->type = ObjectId(kIndirectDataOid).release();
    inner->d.other = value;
    if (PKCS7_set_content(signature, inner.get()) != 1) {
        Fail("the content");
    }
    inner.release();
}

// The signed attributes, then the signature over them.
void SignAttributes(PKCS7_SIGNER_INFO* signer, const DerBytes& content) {
    AsnObjectHandle contentType = ObjectId(kIndirectDataOid);
    if (PKCS7_add_signed_attribute(signer, NID_pkcs9_contentType, V_ASN1_OBJECT,
                                   contentType.get()) != 1) {
        Fail("the content type");
    }
    contentType.release();
    AddStructureAttribute(&signer->auth_attr, kOpusInfoOid, EmptyOpusInfo());
    AddStructureAttribute(&signer->auth_attr, kStatementTypeOid, IndividualStatementType());
    const std::vector<std::uint8_t> digest = BytesDigest(EVP_sha256(), DerContents(content));
    if (PKCS7_add1_attrib_digest(signer, digest.data(), static_cast<int>(digest.size())) != 1) {
        Fail("the message digest");
    }
    if (PKCS7_SIGNER_INFO_sign(signer) != 1) {
        Fail("the signature");
    }
}

void AddTimestamp(PKCS7_SIGNER_INFO* signer, const std::string& url) {
    const ASN1_OCTET_STRING* value = signer->enc_digest;
    const std::vector<std::uint8_t> imprint = BytesDigest(
        EVP_sha256(), {ASN1_STRING_get0_data(value), static_cast<std::size_t>(value->length)});
    AddStructureAttribute(&signer->unauth_attr, kRfc3161TimestampOid,
                          RequestTimestampToken(url, imprint));
}

}  // namespace

DerBytes BuildCodeSignature(const SigningIdentity& identity, std::span<const std::uint8_t> digest,
                            const std::string& timestampUrl) {
    const Pkcs7Handle signature(PKCS7_new());
    if (!signature || PKCS7_set_type(signature.get(), NID_pkcs7_signed) != 1) {
        Fail("the signed data");
    }
    PKCS7_SIGNER_INFO* signer = PKCS7_add_signature(signature.get(), identity.certificate.get(),
                                                    identity.key.get(), EVP_sha256());
    if (signer == nullptr ||
        PKCS7_add_certificate(signature.get(), identity.certificate.get()) != 1) {
        Fail("the signer");
    }
    for (int i = 0; i < sk_X509_num(identity.chain.get()); ++i) {
        if (PKCS7_add_certificate(signature.get(), sk_X509_value(identity.chain.get(), i)) != 1) {
            Fail("the certificate chain");
        }
    }
    const DerBytes content = ImageIndirectData(EVP_sha256(), digest);
    SignAttributes(signer, content);
    SetContent(signature.get(), content);
    if (!timestampUrl.empty()) {
        AddTimestamp(signer, timestampUrl);
    }
    unsigned char* der = nullptr;
    const int length = i2d_PKCS7(signature.get(), &der);
    if (length <= 0) {
        Fail("encoding");
    }
    DerBytes bytes(der, der + length);
    OPENSSL_free(der);
    return bytes;
}

}  // namespace quorlix
