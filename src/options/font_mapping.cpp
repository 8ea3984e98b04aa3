#include "options/font_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QFontInfo>
#include <QFontMetrics>

namespace quorlix {

namespace {

// Pixel heights beyond these are no font a screen can show.
constexpr std::int64_t kLargestPixelHeight = 4096;

// a * b / c rounded to the nearest integer, halves away from zero.
std::int32_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c == 0) {
        return 0;
    }
    const std::int64_t product = a * b;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<std::int32_t>((product < 0) != (c < 0) ? -magnitude : magnitude);
}

int DisplayPixelHeight(const FontSpec& font) {
    return static_cast<int>(
        std::clamp<std::int64_t>(std::llabs(std::int64_t{font.height}), 1, kLargestPixelHeight));
}

}  // namespace

QColor ScreenColour(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

std::uint32_t ColourValue(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | static_cast<std::uint32_t>(rgb.green()) << 8 |
           static_cast<std::uint32_t>(rgb.blue()) << 16;
}

QFont ScreenFont(const FontSpec& font) {
    QFont screen(QString::fromStdString(font.name));
    if (font.height != 0) {
        screen.setPixelSize(DisplayPixelHeight(font));
    } else if (font.size > 0) {
        screen.setPointSize(std::min(font.size, 1000));
    }
    screen.setBold((font.style & FontSpec::kBold) != 0);
    screen.setItalic((font.style & FontSpec::kItalic) != 0);
    screen.setUnderline((font.style & FontSpec::kUnderline) != 0);
    screen.setStrikeOut((font.style & FontSpec::kStrikeOut) != 0);
    if (font.pitch == 2) {
        screen.setFixedPitch(true);
        screen.setStyleHint(QFont::TypeWriter);
    }
    return screen;
}

QFont FontFittedToHeight(const QFont& font, int height) {
    const int lineHeight = QFontMetrics(font).height();
    if (lineHeight <= height || height < 1) {
        return font;
    }
    QFont fitted = font;
    int pixels = std::max(1, QFontInfo(font).pixelSize() * height / lineHeight);
    fitted.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(fitted).height() > height) {
        fitted.setPixelSize(--pixels);
    }
    return fitted;
}

FontSpec FontRecordOf(const QFont& font, int pixelsPerInch, const FontSpec& kept) {
    FontSpec record = kept;
    record.name = font.family().left(FontSpec::kMaxNameLength).toStdString();
    record.style = (font.bold() ? FontSpec::kBold : 0) | (font.italic() ? FontSpec::kItalic : 0) |
                   (font.underline() ? FontSpec::kUnderline : 0) |
                   (font.strikeOut() ? FontSpec::kStrikeOut : 0);
    if (font.pixelSize() > 0) {
        if (kept.height != 0 && font.pixelSize() == DisplayPixelHeight(kept)) {
            return record;
        }
        record.height = -font.pixelSize();
        record.size = MulDiv(font.pixelSize(), 72, pixelsPerInch);
    } else {
        record.size = static_cast<std::int32_t>(std::lround(font.pointSizeF()));
        record.height = -MulDiv(record.size, pixelsPerInch, 72);
    }
    record.pixelsPerInch = pixelsPerInch;
    return record;
}

}  // namespace quorlix
