#include "common/entry_name.h"

#include <algorithm>
#include <array>

namespace quorlix {

namespace {

char UpperAscii(char32_t c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
}

bool IsRefusedCharacter(char32_t c) {
    return c < 0x20 || c == 0x7F || c == '/' || c == ':' || c == '<' || c == '>' || c == '"' ||
           c == '|' || c == '?' || c == '*';
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, alone or before an extension.
template <typename Char>
bool IsDeviceName(std::basic_string_view<Char> part) {
    const std::basic_string_view<Char> base = part.substr(0, part.find(Char('.')));
    if (base.size() != 3 && base.size() != 4) {
        return false;
    }
    std::string upper;
    for (Char c : base) {
        upper += UpperAscii(static_cast<char32_t>(c));
    }
    static constexpr std::array<const char*, 4> kThree = {"CON", "PRN", "AUX", "NUL"};
    if (base.size() == 3) {
        return std::ranges::any_of(kThree, [&](const char* d) { return upper == d; });
    }
    return (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
           upper[3] <= '9';
}

// The longest name Windows gives one file or folder.
constexpr std::size_t kMaxPartLength = 255;

template <typename Char>
bool IsPlainPart(std::basic_string_view<Char> part) {
    if (part.empty() || part.size() > kMaxPartLength || part.back() == Char('.') ||
        part.back() == Char(' ')) {
        return false;  // also refuses "." and ".."
    }
    const bool refused = std::ranges::any_of(
        part, [](Char c) { return IsRefusedCharacter(static_cast<char32_t>(c)); });
    return !refused && !IsDeviceName(part);
}

template <typename Char>
std::optional<std::vector<std::basic_string<Char>>> SplitParts(std::basic_string_view<Char> name) {
    std::vector<std::basic_string<Char>> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = name.find(Char('\\'), start);
        const std::basic_string_view<Char> part = name.substr(start, end - start);
        if (!IsPlainPart(part)) {
            return std::nullopt;
        }
        parts.emplace_back(part);
        if (end == std::basic_string_view<Char>::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

std::optional<std::vector<std::string>> SplitEntryName(std::string_view name) {
    return SplitParts(name);
}

std::optional<std::vector<std::wstring>> SplitEntryName(std::wstring_view name) {
    return SplitParts(name);
}

}  // namespace quorlix
