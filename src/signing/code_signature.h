#pragma once

#include <span>
#include <string>

#include "signing/der_writer.h"
#include "signing/signing_identity.h"

namespace quorlix {

// The code signature (Authenticode: PKCS#7 signed data, DER) of a program whose SHA-256 image
// digest is given: its indirect data signed with the identity's key, the certificate and its
// chain included. The signed attributes are the content type, the digest, an empty description
// and the statement "individual code signing"; there is no signing time, so the same digest and
// identity give the same bytes (for a key whose signatures are deterministic, such as RSA). With
// a timestamp address, an RFC 3161 timestamp of the signature is added as an unsigned attribute.
// Throws quorlix::Error.
DerBytes BuildCodeSignature(const SigningIdentity& identity, std::span<const std::uint8_t> digest,
                            const std::string& timestampUrl);

}  // namespace quorlix
