#include "platform/collation.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "common/utf16.h"

namespace quorlix {

namespace {

std::locale LocaleOrClassic(const char* name) {
    try {
        return std::locale(name);
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
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
        wide.push_back(static_cast<wchar_t>(DecodeUtf8(utf8, i)));
    }
    return wide;
}

}  // namespace quorlix
