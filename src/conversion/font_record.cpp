#include "conversion/font_record.h"

namespace quorlix {

FontSpec DefaultWaterFont() {
    FontSpec font;
    font.color = 0x00808000;
    font.height = -16;
    font.size = 12;
    font.pixelsPerInch = 96;
    font.pitch = 0;
    font.charset = 1;
    font.style = FontSpec::kBold;
    font.name = "MS Sans Serif";
    return font;
}

}  // namespace quorlix
