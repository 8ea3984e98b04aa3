#include "common/scramble.h"

#include <array>
#include <cstring>

namespace quorlix {

namespace {

// Keys up to this length are laid over the buffer a pattern at a time.
constexpr std::size_t kMaxPatternKey = 16;

// Scrambles with the key's low four bits repeated over 8 key lengths (a whole number of 64-bit
// words), one word at a time; the rest byte by byte.
void ScrambleByPattern(std::uint8_t* buffer, const char* key, std::size_t keyLength,
                       std::size_t count) {
    std::uint64_t pattern[kMaxPatternKey];
    std::uint8_t bytes[sizeof pattern];
    const std::size_t patternBytes = keyLength * 8;
    for (std::size_t i = 0; i < patternBytes; ++i) {
        bytes[i] = static_cast<std::uint8_t>(key[i % keyLength] & 0x0F);
    }
    std::memcpy(pattern, bytes, patternBytes);
    const std::size_t words = keyLength;
    std::size_t i = 0;
    for (; i + patternBytes <= count; i += patternBytes) {
        std::uint64_t chunk[kMaxPatternKey];
        std::memcpy(chunk, buffer + i, patternBytes);
        for (std::size_t w = 0; w < words; ++w) {
            chunk[w] ^= pattern[w];
        }
        std::memcpy(buffer + i, chunk, patternBytes);
    }
    for (; i < count; ++i) {
        buffer[i] ^= bytes[i % patternBytes];
    }
}

}  // namespace

void ScrambleBuffer(std::uint8_t* buffer, const char* key, std::size_t keyLength,
                    std::size_t count) {
    if (keyLength > 0 && keyLength <= kMaxPatternKey) {
        ScrambleByPattern(buffer, key, keyLength, count);
        return;
    }
    std::size_t k = 0;
    for (std::size_t i = 0; i < count; ++i) {
        buffer[i] ^= static_cast<std::uint8_t>(key[k] & 0x0F);
        if (++k == keyLength) {
            k = 0;
        }
    }
}

void ScrambleSectionBytes(std::uint8_t* buffer, std::size_t count, std::uint64_t position) {
    const auto phase = static_cast<std::size_t>(position % kScrambleKeyLength);
    std::array<char, kScrambleKeyLength> key{};
    for (std::size_t k = 0; k < kScrambleKeyLength; ++k) {
        key[k] = kScrambleKey[(phase + k) % kScrambleKeyLength];
    }
    ScrambleBuffer(buffer, key.data(), key.size(), count);
}

}  // namespace quorlix
