#pragma once

#include <optional>

#include "common/byte_source.h"
#include "common/payload_reader.h"

namespace quorlix {

// Exit status of a player whose file was changed after it was signed.
inline constexpr int kChangedAfterSigning = 6;

// Checks the player's own file against its code signature, with the system's hashing, before it
// reads anything else. Returns the part of the file the payload is to be read from: all of an
// unsigned file; of a signed one, the part its signature covers, once the digest computed here
// matches the one in the signature. When it does not match, or the signature cannot be read,
// tells the reader in one sentence that the file was changed after it was signed and returns
// nothing.
std::optional<ByteRange> CheckOwnSignature(ByteSource& self);

}  // namespace quorlix
