#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorlix {

// DER tags of the elements a code signature is read through.
inline constexpr std::uint8_t kDerInteger = 0x02;
inline constexpr std::uint8_t kDerOctetString = 0x04;
inline constexpr std::uint8_t kDerObjectId = 0x06;
inline constexpr std::uint8_t kDerSequence = 0x30;
inline constexpr std::uint8_t kDerSet = 0x31;
inline constexpr std::uint8_t kDerExplicit0 = 0xA0;

// One DER element: its tag and the bytes of its contents.
struct DerElement {
    std::uint8_t tag = 0;
    std::span<const std::uint8_t> contents;
};

// Reads DER elements one after another from a buffer. Only single-byte tags and definite lengths
// are read, and every length is checked against what is left of the buffer before it is used;
// anything else throws SignatureError.
class DerReader {
public:
    explicit DerReader(std::span<const std::uint8_t> bytes) : rest_(bytes) {}

    bool AtEnd() const { return rest_.empty(); }
    // The next element, whatever its tag.
    DerElement Next();
    // The next element, which must have this tag; what names it in the error.
    DerElement Expect(std::uint8_t tag, const char* what);

private:
    std::span<const std::uint8_t> rest_;
};

}  // namespace quorlix
