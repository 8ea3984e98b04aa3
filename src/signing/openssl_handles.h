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

#include "platform/function_deleter.h"

namespace quorlix {

// OpenSSL objects owned by unique pointers that free them the library's way.
using BioHandle = std::unique_ptr<BIO, FunctionDeleter<BIO_free_all>>;
using EvpMdCtxHandle = std::unique_ptr<EVP_MD_CTX, FunctionDeleter<EVP_MD_CTX_free>>;
using EvpPkeyHandle = std::unique_ptr<EVP_PKEY, FunctionDeleter<EVP_PKEY_free>>;
using Pkcs12Handle = std::unique_ptr<PKCS12, FunctionDeleter<PKCS12_free>>;
using Pkcs7Handle = std::unique_ptr<PKCS7, FunctionDeleter<PKCS7_free>>;
using X509Handle = std::unique_ptr<X509, FunctionDeleter<X509_free>>;
using X509SigHandle = std::unique_ptr<X509_SIG, FunctionDeleter<X509_SIG_free>>;
using TsReqHandle = std::unique_ptr<TS_REQ, FunctionDeleter<TS_REQ_free>>;
using TsRespHandle = std::unique_ptr<TS_RESP, FunctionDeleter<TS_RESP_free>>;
using TsTstInfoHandle = std::unique_ptr<TS_TST_INFO, FunctionDeleter<TS_TST_INFO_free>>;
using AsnObjectHandle = std::unique_ptr<ASN1_OBJECT, FunctionDeleter<ASN1_OBJECT_free>>;
using AsnIntegerHandle = std::unique_ptr<ASN1_INTEGER, FunctionDeleter<ASN1_INTEGER_free>>;

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
