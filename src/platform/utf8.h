#pragma once

#include <cstddef>
#include <string_view>

namespace quorlix {

// The byte length of the well-formed UTF-8 sequence starting at pos, or 0 when the bytes there
// are not one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// The number of characters in text; each byte of a malformed sequence counts as one character.
std::size_t Utf8CharacterCount(std::string_view text);

// The byte offset just after the first count characters of text (its size if it has fewer).
std::size_t Utf8OffsetOf(std::string_view text, std::size_t count);

}  // namespace quorlix
