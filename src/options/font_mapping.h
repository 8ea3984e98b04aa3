#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

#include "conversion/font_record.h"

namespace quorlix {

// A 32-bit colour value (0x00BBGGRR) as a colour on screen, and back; the top byte is dropped.
QColor ScreenColour(std::uint32_t colour);
std::uint32_t ColourValue(const QColor& colour);

// The font record as a font on screen: face, pixel height (the point size when the record has
// no height) and style; a fixed pitch asks for a fixed-pitch face.
QFont ScreenFont(const FontSpec& font);

// The font as it fits a line of the given height in pixels: unchanged when it fits, else the
// same face and style at the largest pixel size whose lines fit.
QFont FontFittedToHeight(const QFont& font, int height);

// A font on screen as a font record at pixelsPerInch (the screen's logical pixels per inch).
// Colour, pitch and character set, which a screen font does not carry, come from kept; so do
// the height, size and pixels per inch when the screen font has kept's own pixel height.
FontSpec FontRecordOf(const QFont& font, int pixelsPerInch, const FontSpec& kept);

}  // namespace quorlix
