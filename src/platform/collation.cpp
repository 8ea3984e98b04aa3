#include "platform/collation.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace quorlix {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::locale LocaleOrClassic(const char* name) {
    try {
        return std::locale(name);
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

// Length of the sequence that a lead byte opens and the smallest code point it may hold; 0 when
// the byte cannot open one.
std::size_t SequenceLength(unsigned char lead, char32_t& smallest) {
    if (lead < 0x80) {
        smallest = 0;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        smallest = 0x80;
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        smallest = 0x800;
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        smallest = 0x10000;
        return 4;
    }
    return 0;
}

// Decodes the sequence at text[i]; returns the bytes it takes (1 for an invalid one).
std::size_t DecodeOne(const std::string& text, std::size_t i, char32_t& out) {
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t smallest = 0;
    const std::size_t length = SequenceLength(lead, smallest);
    out = kReplacement;
    if (length == 0 || text.size() - i < length) {
        return 1;
    }
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 1;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 1;
    }
    out = value;
    return length;
}

}  // namespace

CaseInsensitiveCollation::CaseInsensitiveCollation() : locale_(LocaleOrClassic("")) {}

CaseInsensitiveCollation::CaseInsensitiveCollation(const std::string& localeName)
    : locale_(LocaleOrClassic(localeName.c_str())) {}

std::wstring CaseInsensitiveCollation::Key(const std::string& utf8) const {
    std::wstring folded = WideFromUtf8(utf8);
    const auto& ctype = std::use_facet<std::ctype<wchar_t>>(locale_);
    ctype.toupper(folded.data(), folded.data() + folded.size());
    const auto& collate = std::use_facet<std::collate<wchar_t>>(locale_);
    return collate.transform(folded.data(), folded.data() + folded.size());
}

std::wstring WideFromUtf8(const std::string& utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t value = 0;
        i += DecodeOne(utf8, i, value);
        wide.push_back(static_cast<wchar_t>(value));
    }
    return wide;
}

}  // namespace quorlix
