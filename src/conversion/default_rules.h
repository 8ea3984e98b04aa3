#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlix {

// The rules by which stored default texts become control states, shared by the three pages.

// The whole text as a signed 32-bit decimal integer, or nullopt.
std::optional<int> DecimalNumber(std::string_view text);

// The text's number, fallback when it is not one, given to an up-down of range low to high:
// the edit then shows the clamped number.
std::string UpDownText(std::string_view text, int fallback, int low, int high);

// The text's number (fallback when not one) in decimal, with no range.
std::string NumberText(std::string_view text, int fallback);

// The text's number (0 when not one) as the item index of a list of count items: -1, no item
// selected, when outside the list.
int ListIndex(std::string_view text, int count);

// "0", "1" or "2" checks that radio button of a group of three; other text changes nothing.
void ApplyRadioChoice(int& choice, std::string_view text);

// A check box: "1" checked, "0" unchecked.
inline std::string FlagText(bool checked) {
    return checked ? "1" : "0";
}

}  // namespace quorlix
