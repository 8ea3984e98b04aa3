#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlix {

// A font as the platform font record keeps it: colour, metrics, style and face name.
struct FontSpec {
    // Style bits.
    static constexpr int kBold = 1;
    static constexpr int kItalic = 2;
    static constexpr int kUnderline = 4;
    static constexpr int kStrikeOut = 8;
    // The longest face name a font record holds.
    static constexpr std::size_t kMaxNameLength = 31;

    std::uint32_t color = 0;  // 32-bit colour value, 0x00BBGGRR
    std::int32_t height = 0;  // pixels; negative for a character height
    std::int32_t size = 0;    // points
    std::int32_t pixelsPerInch = 96;
    int pitch = 0;     // 0 default, 1 variable, 2 fixed
    int charset = 1;   // 1 is the default character set
    int style = 0;     // kBold | kItalic | kUnderline | kStrikeOut
    std::string name;  // face name, at most kMaxNameLength characters

    bool operator==(const FontSpec&) const = default;
};

// The font the watermark text starts with: teal, bold "MS Sans Serif", 12 points at 96 ppi.
FontSpec DefaultWaterFont();

}  // namespace quorlix
