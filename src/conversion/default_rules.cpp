#include "conversion/default_rules.h"

#include <algorithm>
#include <charconv>

namespace quorlix {

std::optional<int> DecimalNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+' && text.size() > 1 && text[1] != '-') {
        text.remove_prefix(1);
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string UpDownText(std::string_view text, int fallback, int low, int high) {
    return std::to_string(std::clamp(DecimalNumber(text).value_or(fallback), low, high));
}

std::string NumberText(std::string_view text, int fallback) {
    return std::to_string(DecimalNumber(text).value_or(fallback));
}

int ListIndex(std::string_view text, int count) {
    const int index = DecimalNumber(text).value_or(0);
    return index >= 0 && index < count ? index : -1;
}

void ApplyRadioChoice(int& choice, std::string_view text) {
    if (text == "0" || text == "1" || text == "2") {
        choice = text[0] - '0';
    }
}

}  // namespace quorlix
