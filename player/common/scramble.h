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

// Scrambles (or unscrambles) count bytes that lie `position` bytes into a document section,
// whose key starts at the section's first byte.
void ScrambleSectionBytes(std::uint8_t* buffer, std::size_t count, std::uint64_t position);

}  // namespace quorlix
