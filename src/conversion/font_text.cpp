#include "conversion/font_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "platform/error.h"
#include "platform/utf8.h"

namespace quorlix {

namespace {

constexpr std::size_t kFixedFieldsLength = 32;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::uint32_t HexValue(std::string_view digits) {
    std::uint32_t value = 0;
    for (const char c : digits) {
        const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Reads the field of count characters at offset; fewer where the text ends sooner.
std::uint32_t ReadHexField(std::string_view text, std::size_t offset, std::size_t count,
                           const char* fieldName) {
    const std::string_view digits =
        offset < text.size() ? text.substr(offset, count) : std::string_view();
    bool valid = !digits.empty();
    for (const char c : digits) {
        valid = valid && IsHexDigit(c);
    }
    if (!valid) {
        throw Error("'" + std::string(digits) +
                    "' is not a valid hexadecimal number for the font " + fieldName);
    }
    return HexValue(digits);
}

std::int32_t AsSigned(std::uint32_t bits) {
    return static_cast<std::int32_t>(bits);
}

// -(size * pixelsPerInch / 72), rounded to the nearest integer, halves away from zero.
std::int32_t HeightForSize(std::int32_t size, std::int32_t pixelsPerInch) {
    const std::int64_t product = std::int64_t{size} * pixelsPerInch;
    const std::int64_t magnitude = ((product < 0 ? -product : product) + 36) / 72;
    std::int64_t height = product < 0 ? magnitude : -magnitude;
    height = std::max<std::int64_t>(height, std::numeric_limits<std::int32_t>::min());
    height = std::min<std::int64_t>(height, std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(height);
}

// The size field is 4 digits, or 8 when a negative size was written in full.
bool HasLongSizeField(std::string_view text) {
    if (text.size() < 24) {
        return false;
    }
    // Hexadecimal digits are read in either case.
    for (const char c : text.substr(16, 4)) {
        if (c != 'F' && c != 'f') {
            return false;
        }
    }
    for (const char c : text.substr(16, 8)) {
        if (!IsHexDigit(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ColourToText(std::uint32_t colour) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%.8X", static_cast<unsigned>(colour));
    return digits;
}

std::string FontToText(const FontSpec& font) {
    char fields[80];
    std::snprintf(fields, sizeof fields, "%.8X%.8X%.4X%.4X%.1X%.2X%.1X%.4X",
                  static_cast<unsigned>(font.color), static_cast<unsigned>(font.height),
                  static_cast<unsigned>(font.size), static_cast<unsigned>(font.pixelsPerInch),
                  static_cast<unsigned>(font.pitch), static_cast<unsigned>(font.charset),
                  static_cast<unsigned>(font.style),
                  static_cast<unsigned>(Utf8CharacterCount(font.name)));
    return fields + font.name;
}

void TextToFont(std::string_view text, FontSpec& font) {
    if (Utf8CharacterCount(text) <= kFixedFieldsLength) {
        throw Error("Error Font Format String");
    }
    font.color = ReadHexField(text, 0, 8, "colour");
    font.height = AsSigned(ReadHexField(text, 8, 8, "height"));
    const std::size_t sizeDigits = HasLongSizeField(text) ? 8 : 4;
    const std::uint32_t size = ReadHexField(text, 16, sizeDigits, "size");
    font.size = sizeDigits == 8 ? AsSigned(size) : static_cast<std::int32_t>(size);
    font.height = HeightForSize(font.size, font.pixelsPerInch);
    std::size_t offset = 16 + sizeDigits;
    font.pixelsPerInch =
        static_cast<std::int32_t>(ReadHexField(text, offset, 4, "pixels per inch"));
    font.pitch = static_cast<int>(ReadHexField(text, offset + 4, 1, "pitch"));
    font.charset = static_cast<int>(ReadHexField(text, offset + 5, 2, "character set"));
    font.style = static_cast<int>(ReadHexField(text, offset + 7, 1, "style"));
    const std::uint32_t nameLength = ReadHexField(text, offset + 8, 4, "name length");
    offset += 12;
    if (offset >= text.size()) {
        return;
    }
    const std::string_view rest = text.substr(offset);
    const std::size_t take = std::min<std::size_t>(nameLength, FontSpec::kMaxNameLength);
    const std::string_view name = rest.substr(0, Utf8OffsetOf(rest, take));
    if (!name.empty()) {
        font.name = std::string(name);
    }
}

}  // namespace quorlix
