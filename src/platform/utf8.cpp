#include "platform/utf8.h"

#include "common/utf16.h"

namespace quorlix {

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) {
        return 0;
    }
    std::size_t next = pos;
    DecodeUtf8(text, next);
    // Malformed input advances by one byte; a single byte is well formed only below 0x80.
    const bool malformed = next - pos == 1 && static_cast<unsigned char>(text[pos]) >= 0x80;
    return malformed ? 0 : next - pos;
}

std::size_t Utf8CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        pos += length == 0 ? 1 : length;
    }
    return count;
}

std::size_t Utf8OffsetOf(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count && pos < text.size(); ++i) {
        const std::size_t length = Utf8SequenceLength(text, pos);
        pos += length == 0 ? 1 : length;
    }
    return pos;
}

}  // namespace quorlix
