#include "cli/terminal_text.h"

#include <cstdio>

#include "platform/utf8.h"

namespace quorlix {

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    out += escaped;
}

}  // namespace

std::string TerminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = Utf8SequenceLength(text, at);
        // C1 controls are U+0080 to U+009F, encoded C2 80 to C2 9F.
        const bool c1 =
            length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
        if (length == 0 || byte < 0x20 || byte == 0x7F || c1) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                AppendEscaped(out, static_cast<unsigned char>(text[at + i]));
            }
            at += std::max<std::size_t>(length, 1);
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

}  // namespace quorlix
