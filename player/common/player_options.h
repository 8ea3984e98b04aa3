#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/payload_reader.h"

namespace quorlix {

// The package entry of the window and web options.
inline constexpr char kWinOptionsEntry[] = "option\\winoptions.dll";

// An option file larger than this is not an option file of ours and is ignored.
inline constexpr std::uint32_t kMaxOptionFileSize = 1u << 20;

// Whether a and b are equal when ASCII letters are compared without regard to case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The lines of an option file (ANSI text, every line ended by CR LF; a lone LF also ends a line
// and a last line without an end still counts), without their line ends.
std::vector<std::string> SplitOptionLines(std::span<const std::uint8_t> bytes);

// The lines of winoptions.dll that the player reads, by number; a missing or short file gives
// empty lines, so every option then keeps its "off" value.
class PlayerOptions {
public:
    PlayerOptions() = default;
    explicit PlayerOptions(std::span<const std::uint8_t> winoptions)
        : lines_(SplitOptionLines(winoptions)) {}

    // Line `number`, counted from 1; empty when the file has fewer lines.
    const std::string& Line(std::size_t number) const;
    std::size_t LineCount() const { return lines_.size(); }

    // Line 5: whether to open the web address after the document was closed ("1" true, "2" false).
    bool opifweb() const { return Line(5) == "1"; }
    // Line 6: the web address.
    const std::string& opweb() const { return Line(6); }
    // Line 12: no right-click (context) menu over the document program's windows.
    bool opright() const { return Line(12) == "1"; }
    // Line 13: nothing copied out of or pasted into the document program.
    bool opcopy() const { return Line(13) == "1"; }
    // Line 16: the reader may keep changes to the document as another executable.
    bool opsave() const { return Line(16) == "1"; }

private:
    std::vector<std::string> lines_;
};

// The index of the package entry of this name (compared without regard to ASCII case).
std::optional<std::size_t> FindPackageEntry(const PayloadLayout& layout, std::string_view name);

// The options from the payload's winoptions.dll; none when the package has no such entry or it
// is too large or damaged.
PlayerOptions ReadPlayerOptions(const PayloadReader& reader);

// The address to open once the document is closed: opweb without surrounding blanks, when
// opifweb is set and it is a web address ("http://" or "https://", or "www." which gets
// "http://"). Anything else (a program path, "file:", a blank line) is never opened.
std::optional<std::string> WebAddressToOpen(const PlayerOptions& options);

}  // namespace quorlix
