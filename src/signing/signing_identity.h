#pragma once

#include <string>

#include "signing/openssl_handles.h"

namespace quorlix {

// The certificate that signs outputs, its private key and the certificates of its chain, as a
// PKCS#12 file holds them.
struct SigningIdentity {
    EvpPkeyHandle key;
    X509Handle certificate;
    CertificateList chain;  // may be empty
};

// Reads a PKCS#12 file. Throws quorlix::Error naming the file and the cause: it cannot be read,
// is no PKCS#12 file, the password is wrong ("wrong password for cert.p12"), it holds no key or
// no certificate, or the key does not match the certificate.
SigningIdentity LoadSigningIdentity(const std::string& path, const std::string& password);

// Overwrites a password with zeros where it lies in memory, once the key is read (whether or not
// it opened the file), so that no copy of it outlives its use.
void WipePassword(std::string& password);

// The subject of a certificate (RFC 2253).
std::string SubjectOf(const X509* certificate);

}  // namespace quorlix
