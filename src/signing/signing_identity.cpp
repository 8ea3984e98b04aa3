#include "signing/signing_identity.h"

#include <openssl/crypto.h>
#include <openssl/provider.h>

#include <system_error>

#include "platform/error.h"
#include "platform/file.h"

namespace quorlix {

namespace {

Pkcs12Handle ReadPkcs12(const std::string& path) {
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const std::system_error& e) {
        throw Error("cannot read " + path + ": " + e.code().message());
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    Pkcs12Handle p12(d2i_PKCS12(nullptr, &data, static_cast<long>(bytes.size())));
    TakeOpenSslErrors();
    if (!p12) {
        throw Error(path + " is not a PKCS#12 file");
    }
    return p12;
}

// An empty password may have been taken as none when the file was made.
bool PasswordOpensMac(PKCS12* p12, const std::string& password) {
    const bool opens =
        PKCS12_verify_mac(p12, password.c_str(), static_cast<int>(password.size())) == 1 ||
        (password.empty() && PKCS12_verify_mac(p12, nullptr, 0) == 1);
    TakeOpenSslErrors();
    return opens;
}

bool ParseOnce(PKCS12* p12, const std::string& password, SigningIdentity& identity) {
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    STACK_OF(X509)* chain = nullptr;
    if (PKCS12_parse(p12, password.c_str(), &key, &certificate, &chain) != 1) {
        TakeOpenSslErrors();
        return false;
    }
    identity.key.reset(key);
    identity.certificate.reset(certificate);
    identity.chain.reset(chain != nullptr ? chain : sk_X509_new_null());
    return true;
}

// Unpacks key and certificates; files made by older programs use ciphers that only OpenSSL's
// legacy provider offers, which is loaded for a second try.
bool Unpack(PKCS12* p12, const std::string& password, SigningIdentity& identity) {
    if (ParseOnce(p12, password, identity)) {
        return true;
    }
    if (OSSL_PROVIDER_available(nullptr, "legacy") == 1 ||
        OSSL_PROVIDER_try_load(nullptr, "legacy", 1) == nullptr) {
        TakeOpenSslErrors();
        return false;
    }
    return ParseOnce(p12, password, identity);
}

}  // namespace

SigningIdentity LoadSigningIdentity(const std::string& path, const std::string& password) {
    const Pkcs12Handle p12 = ReadPkcs12(path);
    if (PKCS12_mac_present(p12.get()) == 1 && !PasswordOpensMac(p12.get(), password)) {
        throw Error("wrong password for " + path);
    }
    SigningIdentity identity;
    if (!Unpack(p12.get(), password, identity)) {
        throw Error(PKCS12_mac_present(p12.get()) == 1
                        ? path + " cannot be opened (its ciphers are unknown to this program)"
                        : "wrong password for " + path);
    }
    if (!identity.key) {
        throw Error(path + " holds no private key");
    }
    if (!identity.certificate) {
        // The library pairs the key with the certificate that matches it; others are the chain.
        throw Error(sk_X509_num(identity.chain.get()) > 0
                        ? "the key in " + path + " does not match its certificate"
                        : path + " holds no certificate");
    }
    if (X509_check_private_key(identity.certificate.get(), identity.key.get()) != 1) {
        TakeOpenSslErrors();
        throw Error("the key in " + path + " does not match its certificate");
    }
    return identity;
}

void WipePassword(std::string& password) {
    OPENSSL_cleanse(password.data(), password.size());
}

std::string SubjectOf(const X509* certificate) {
    return NameText(X509_get_subject_name(certificate));
}

}  // namespace quorlix
