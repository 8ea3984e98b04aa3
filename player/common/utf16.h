#pragma once

#include <string>
#include <string_view>

namespace quorlix {

// The replacement character that stands for malformed input.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point at text[i] and advances i past it; a byte that does not start a
// well-formed sequence gives U+FFFD and advances i by one. i must be below text.size().
char32_t DecodeUtf8(std::string_view text, std::size_t& i);

// UTF-8 to UTF-16; a byte that does not start a well-formed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace quorlix
