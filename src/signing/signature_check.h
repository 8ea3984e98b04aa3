#pragma once

#include <string>

#include "common/byte_source.h"
#include "common/payload_reader.h"

namespace quorlix {

// What the check of an executable's code signature found.
struct SignatureReport {
    bool isSigned = false;
    ByteRange signedPart;   // what the signature covers: the file up to its certificate table
    std::string signer;     // subject of the signing certificate (RFC 2253)
    std::string digest;     // the digest algorithm ("SHA256")
    std::string timestamp;  // "2026-01-31 12:00:00 UTC by <authority>"; empty without one
};

// Checks an executable's code signature: the certificate table ends the file, the digest it
// names matches the file, the signature is valid for the certificate it carries (whether that
// certificate is trusted is not judged), and a timestamp, when there is one, is valid and belongs
// to this signature. An unsigned executable passes with isSigned false and the whole file as the
// signed part. Throws SignatureError with the cause.
SignatureReport CheckCodeSignature(ByteSource& source);

// The subject of the certificate that made an executable's signature, read without checking
// anything; empty when there is no readable signature.
std::string SignerOf(ByteSource& source);

}  // namespace quorlix
