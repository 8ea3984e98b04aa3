#include "common/player_options.h"

#include <algorithm>

#include "common/payload_error.h"

namespace quorlix {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

std::vector<std::string> SplitOptionLines(std::span<const std::uint8_t> bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::uint8_t byte : bytes) {
        if (byte == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += static_cast<char>(byte);
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

const std::string& PlayerOptions::Line(std::size_t number) const {
    static const std::string kEmpty;
    return number >= 1 && number <= lines_.size() ? lines_[number - 1] : kEmpty;
}

std::optional<std::size_t> FindPackageEntry(const PayloadLayout& layout, std::string_view name) {
    for (std::size_t i = 0; i < layout.entries.size(); ++i) {
        if (EqualsIgnoringCase(layout.entries[i].name, name)) {
            return i;
        }
    }
    return std::nullopt;
}

PlayerOptions ReadPlayerOptions(const PayloadReader& reader) {
    const std::optional<std::size_t> index = FindPackageEntry(reader.layout(), kWinOptionsEntry);
    if (!index || reader.layout().entries[*index].size > kMaxOptionFileSize) {
        return PlayerOptions();
    }
    try {
        return PlayerOptions(reader.EntryBytes(*index));
    } catch (const PayloadError&) {
        return PlayerOptions();
    }
}

std::optional<std::string> WebAddressToOpen(const PlayerOptions& options) {
    if (!options.opifweb()) {
        return std::nullopt;
    }
    const std::string_view address = TrimBlanks(options.opweb());
    const bool schemed =
        StartsWithIgnoringCase(address, "http://") || StartsWithIgnoringCase(address, "https://");
    const bool bare = StartsWithIgnoringCase(address, "www.");
    const std::size_t prefix = schemed ? address.find("//") + 2 : 0;
    if ((!schemed && !bare) || address.size() <= prefix) {
        return std::nullopt;
    }
    const bool controls = std::ranges::any_of(
        address, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    if (controls) {
        return std::nullopt;
    }
    return schemed ? std::string(address) : "http://" + std::string(address);
}

}  // namespace quorlix
