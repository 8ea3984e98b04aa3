#pragma once

#include <openssl/evp.h>

#include <cstdint>
#include <vector>

#include "common/byte_source.h"
#include "common/image_signature.h"

namespace quorlix {

class PeChecksumSum;

// The code signing digest of a PE image: the message digest md over the bytes the signature
// covers, up to end (see ReadDigestedBytes). The same bytes are added to checksum when one is
// given. Throws quorlix::Error when the digest cannot be computed, what the source throws when
// it cannot be read.
std::vector<std::uint8_t> ImageDigest(ByteSource& source, const ImageSignatureFields& fields,
                                      std::uint64_t end, const EVP_MD* md,
                                      PeChecksumSum* checksum = nullptr);

// The message digest md of bytes in memory.
std::vector<std::uint8_t> BytesDigest(const EVP_MD* md, std::span<const std::uint8_t> bytes);

}  // namespace quorlix
