#include "signing/indirect_data.h"

#include <openssl/x509.h>

#include <string_view>

#include "platform/error.h"
#include "signing/authenticode_oids.h"
#include "signing/openssl_handles.h"

namespace quorlix {

namespace {

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kBitString = 0x03;
constexpr std::uint8_t kExplicit0 = 0xA0;
constexpr std::uint8_t kExplicit2 = 0xA2;
constexpr std::uint8_t kImplicitPrimitive0 = 0x80;
// The file name older signing tools put in the image data, where no file is meant.
constexpr std::string_view kObsoleteFile = "<<<Obsolete>>>";

DerBytes Utf16BigEndian(std::string_view ascii) {
    DerBytes bytes;
    for (const char c : ascii) {
        bytes.push_back(0);
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

// The image data: no flags, and the obsolete file link.
DerBytes PeImageData() {
    const std::uint8_t noFlags[] = {0};
    const DerBytes file = DerEncoded(kImplicitPrimitive0, Utf16BigEndian(kObsoleteFile));
    const DerBytes link = DerEncoded(kExplicit0, DerEncoded(kExplicit2, file));
    return DerEncoded(kSequence, DerJoined({DerEncoded(kBitString, noFlags), link}));
}

DerBytes DigestInfo(const EVP_MD* md, std::span<const std::uint8_t> digest) {
    const X509SigHandle info(X509_SIG_new());
    X509_ALGOR* algorithm = nullptr;
    ASN1_OCTET_STRING* value = nullptr;
    if (!info) {
        throw Error("out of memory for the digest info");
    }
    X509_SIG_getm(info.get(), &algorithm, &value);
    if (X509_ALGOR_set0(algorithm, OBJ_nid2obj(EVP_MD_get_type(md)), V_ASN1_NULL, nullptr) != 1 ||
        ASN1_OCTET_STRING_set(value, digest.data(), static_cast<int>(digest.size())) != 1) {
        throw Error("cannot encode the digest info: " + TakeOpenSslErrors());
    }
    unsigned char* der = nullptr;
    const int length = i2d_X509_SIG(info.get(), &der);
    if (length <= 0) {
        throw Error("cannot encode the digest info: " + TakeOpenSslErrors());
    }
    DerBytes bytes(der, der + length);
    OPENSSL_free(der);
    return bytes;
}

}  // namespace

DerBytes ObjectIdElement(const char* dotted) {
    const AsnObjectHandle object = ObjectId(dotted);
    unsigned char* der = nullptr;
    const int length = i2d_ASN1_OBJECT(object.get(), &der);
    if (length <= 0) {
        throw Error(std::string("cannot encode the object identifier ") + dotted);
    }
    DerBytes bytes(der, der + length);
    OPENSSL_free(der);
    return bytes;
}

DerBytes ImageIndirectData(const EVP_MD* md, std::span<const std::uint8_t> digest) {
    const DerBytes data =
        DerEncoded(kSequence, DerJoined({ObjectIdElement(kPeImageDataOid), PeImageData()}));
    return DerEncoded(kSequence, DerJoined({data, DigestInfo(md, digest)}));
}

DerBytes EmptyOpusInfo() {
    return DerEncoded(kSequence, {});
}

DerBytes IndividualStatementType() {
    return DerEncoded(kSequence, ObjectIdElement(kIndividualSigningOid));
}

}  // namespace quorlix
