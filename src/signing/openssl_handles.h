#pragma once

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/pkcs7.h>
#include <openssl/ts.h>
#include <openssl/x509.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace quorlix {

// OpenSSL objects owned by unique pointers that free them the library's way.
template <auto free>
struct OpenSslFree {
    template <typename T>
    void operator()(T* object) const {
        free(object);
    }
};

using BioHandle = std::unique_ptr<BIO, OpenSslFree<BIO_free_all>>;
using EvpMdCtxHandle = std::unique_ptr<EVP_MD_CTX, OpenSslFree<EVP_MD_CTX_free>>;
using EvpPkeyHandle = std::unique_ptr<EVP_PKEY, OpenSslFree<EVP_PKEY_free>>;
using Pkcs12Handle = std::unique_ptr<PKCS12, OpenSslFree<PKCS12_free>>;
using Pkcs7Handle = std::unique_ptr<PKCS7, OpenSslFree<PKCS7_free>>;
using X509Handle = std::unique_ptr<X509, OpenSslFree<X509_free>>;
using X509SigHandle = std::unique_ptr<X509_SIG, OpenSslFree<X509_SIG_free>>;
using X509StoreHandle = std::unique_ptr<X509_STORE, OpenSslFree<X509_STORE_free>>;
using TsReqHandle = std::unique_ptr<TS_REQ, OpenSslFree<TS_REQ_free>>;
using TsRespHandle = std::unique_ptr<TS_RESP, OpenSslFree<TS_RESP_free>>;
using TsTstInfoHandle = std::unique_ptr<TS_TST_INFO, OpenSslFree<TS_TST_INFO_free>>;
using AsnObjectHandle = std::unique_ptr<ASN1_OBJECT, OpenSslFree<ASN1_OBJECT_free>>;
using AsnIntegerHandle = std::unique_ptr<ASN1_INTEGER, OpenSslFree<ASN1_INTEGER_free>>;

// A list of certificates, each freed with the list.
struct CertificateListFree {
    void operator()(STACK_OF(X509) * list) const { sk_X509_pop_free(list, X509_free); }
};
using CertificateList = std::unique_ptr<STACK_OF(X509), CertificateListFree>;

// The texts of OpenSSL's error queue, oldest first, joined by "; " (emptied as it is read);
// empty when the queue holds none.
std::string TakeOpenSslErrors();

// An object identifier from its dotted text; throws on a malformed one.
AsnObjectHandle ObjectId(const char* dotted);

// The bytes of an ASN.1 string.
std::span<const std::uint8_t> AsnBytes(const ASN1_STRING* text);

// A certificate name in the form of RFC 2253 ("CN=Dorvane,O=Quorlix"), UTF-8 kept as it is.
std::string NameText(const X509_NAME* name);

}  // namespace quorlix
