// Feeds arbitrary text to TextToFont: a text it takes must write back and read again alike.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversion/font_text.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quorlix::FontSpec font;
    try {
        quorlix::TextToFont(text, font);
    } catch (const quorlix::Error&) {
        return 0;
    }
    quorlix::FontSpec again;
    try {
        quorlix::TextToFont(quorlix::FontToText(font), again);
    } catch (const quorlix::Error&) {
    }
    return 0;
}
