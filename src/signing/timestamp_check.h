#pragma once

#include <openssl/pkcs7.h>

#include <string>

namespace quorlix {

// Checks the RFC 3161 timestamp that a code signature's signer carries, if any: the token's own
// signature is valid for the certificate it carries and its digest is that of this signer's
// signature. Returns "<UTC time> by <authority's subject>", or "an Authenticode countersignature
// (not checked)" for the older kind, or empty without a timestamp. Throws SignatureError.
std::string CheckTimestamp(PKCS7_SIGNER_INFO* signer);

}  // namespace quorlix
