#include "platform/ansi_code_page.h"

namespace quorlix {

// Placeholder until the iconv-based conversion lands: ASCII passes, everything else is '?'.
int AnsiCodePage() {
    return 1252;
}

std::string ToAnsi(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c & 0xC0) != 0x80) {
            out += '?';
        }
    }
    return out;
}

std::string FromAnsi(std::string_view ansi) {
    return std::string(ansi);
}

}  // namespace quorlix
