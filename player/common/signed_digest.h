#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quorlix {

// The digest algorithms a code signature may name for the file.
enum class DigestKind { Sha1, Sha256, Sha384, Sha512 };

// The file digest a code signature vouches for.
struct SignedDigest {
    DigestKind kind = DigestKind::Sha256;
    std::vector<std::uint8_t> value;
};

// The digest's length in bytes.
std::size_t DigestLength(DigestKind kind);

// Finds the file digest in a code signature (PKCS#7 signed data whose content is Microsoft's
// indirect data: ContentInfo > SignedData > ContentInfo > [0] > SpcIndirectDataContent >
// DigestInfo). Reads only as far as the digest; does not check the signature itself. Throws
// SignatureError when the structure is not that, or names an unknown algorithm.
SignedDigest FindSignedDigest(std::span<const std::uint8_t> signature);

}  // namespace quorlix
