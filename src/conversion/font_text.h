#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/font_record.h"

namespace quorlix {

// A 32-bit colour value as 8 upper-case hexadecimal digits (yellow is "0000FFFF").
std::string ColourToText(std::uint32_t colour);

// One line of font text: colour, height, size, pixels per inch, pitch, character set, style
// and name length as fixed-width upper-case hexadecimal fields, then the face name.
std::string FontToText(const FontSpec& font);

// Sets font from font text, field by field, each applied as soon as it is read. Throws
// quorlix::Error("Error Font Format String") for a text of 32 characters or fewer (font
// unchanged) and quorlix::Error naming the field for one that is not hexadecimal (the fields
// before it stay applied). A size field that starts with "FFFF" is read as the 8-digit form of
// a negative size, and the fields after it four positions further on.
void TextToFont(std::string_view text, FontSpec& font);

}  // namespace quorlix
