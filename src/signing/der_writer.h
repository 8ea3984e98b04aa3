#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace quorlix {

using DerBytes = std::vector<std::uint8_t>;

// One DER element: the tag, the length in its shortest form, the contents.
DerBytes DerEncoded(std::uint8_t tag, std::span<const std::uint8_t> contents);

// The elements one after another, as the contents of an enclosing one.
DerBytes DerJoined(std::initializer_list<std::span<const std::uint8_t>> elements);

// The contents of a DER element, its tag and length left out; throws quorlix::Error for bytes
// that are not one whole element.
std::span<const std::uint8_t> DerContents(std::span<const std::uint8_t> element);

}  // namespace quorlix
