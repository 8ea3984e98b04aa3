#include "signing/timestamp_check.h"

#include <ctime>

#include "common/signature_error.h"
#include "signing/authenticode_oids.h"
#include "signing/image_digest.h"
#include "signing/openssl_handles.h"

namespace quorlix {

namespace {

Pkcs7Handle TokenOf(const X509_ATTRIBUTE* attribute) {
    const ASN1_TYPE* value = X509_ATTRIBUTE_get0_type(const_cast<X509_ATTRIBUTE*>(attribute), 0);
    if (value == nullptr || value->type != V_ASN1_SEQUENCE) {
        throw SignatureError("the timestamp is malformed");
    }
    const std::span<const std::uint8_t> bytes = AsnBytes(value->value.sequence);
    const unsigned char* at = bytes.data();
    Pkcs7Handle token(d2i_PKCS7(nullptr, &at, static_cast<long>(bytes.size())));
    TakeOpenSslErrors();
    if (!token) {
        throw SignatureError("the timestamp is malformed");
    }
    return token;
}

// The timestamp's digest must be the digest of the signer's signature value.
void CheckImprint(const TS_TST_INFO* info, const PKCS7_SIGNER_INFO* signer) {
    TS_MSG_IMPRINT* imprint = TS_TST_INFO_get_msg_imprint(const_cast<TS_TST_INFO*>(info));
    const EVP_MD* md = EVP_get_digestbyobj(TS_MSG_IMPRINT_get_algo(imprint)->algorithm);
    if (md == nullptr) {
        throw SignatureError("the timestamp names a digest algorithm this program does not know");
    }
    const std::span<const std::uint8_t> stamped = AsnBytes(TS_MSG_IMPRINT_get_msg(imprint));
    if (BytesDigest(md, AsnBytes(signer->enc_digest)) !=
        std::vector<std::uint8_t>(stamped.begin(), stamped.end())) {
        throw SignatureError("the timestamp does not belong to this signature");
    }
}

std::string UtcText(const ASN1_GENERALIZEDTIME* time) {
    std::tm parts{};
    char text[32];
    if (ASN1_TIME_to_tm(time, &parts) != 1 ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts) == 0) {
        throw SignatureError("the timestamp's time is malformed");
    }
    return text;
}

std::string AuthorityOf(PKCS7* token) {
    STACK_OF(X509)* signers = PKCS7_get0_signers(token, nullptr, 0);
    TakeOpenSslErrors();
    std::string subject = signers != nullptr && sk_X509_num(signers) > 0
                              ? NameText(X509_get_subject_name(sk_X509_value(signers, 0)))
                              : std::string("an authority that left out its certificate");
    sk_X509_free(signers);
    return subject;
}

}  // namespace

std::string CheckTimestamp(PKCS7_SIGNER_INFO* signer) {
    const AsnObjectHandle type = ObjectId(kRfc3161TimestampOid);
    const int index = X509at_get_attr_by_OBJ(signer->unauth_attr, type.get(), -1);
    if (index < 0) {
        return PKCS7_get_attribute(signer, NID_pkcs9_countersignature) != nullptr
                   ? "an Authenticode countersignature (not checked)"
                   : "";
    }
    const Pkcs7Handle token = TokenOf(X509at_get_attr(signer->unauth_attr, index));
    const TsTstInfoHandle info(PKCS7_to_TS_TST_INFO(token.get()));
    if (!info) {
        TakeOpenSslErrors();
        throw SignatureError("the timestamp holds no time-stamp information");
    }
    CheckImprint(info.get(), signer);
    if (PKCS7_verify(token.get(), nullptr, nullptr, nullptr, nullptr, PKCS7_NOVERIFY) != 1) {
        throw SignatureError("the timestamp's signature is not valid (" + TakeOpenSslErrors() +
                             ")");
    }
    return UtcText(TS_TST_INFO_get_time(info.get())) + " by " + AuthorityOf(token.get());
}

}  // namespace quorlix
