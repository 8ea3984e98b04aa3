#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlix {

// The key of the document section's scrambling.
inline constexpr char kScrambleKey[] = "%:QX-vmrtpwj";
inline constexpr std::size_t kScrambleKeyLength = 12;

// XORs the low four bits of each byte with those of the key, the key index starting at 0;
// the operation is its own inverse.
void ScrambleBuffer(std::uint8_t* buffer, const char* key, std::size_t keyLength,
                    std::size_t count);

}  // namespace quorlix
