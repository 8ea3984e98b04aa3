#include "common/presentation_options.h"

#include <algorithm>

#include "common/player_options.h"

namespace quorlix {

namespace {

constexpr std::uint32_t kMaxSeconds = 32767;
constexpr std::uint32_t kMaxPosition = 32767;
constexpr std::uint32_t kMaxWindowSize = 32767;

bool IsFlagOn(const OptionLines& lines, std::size_t number) {
    return LineOf(lines, number) == "1";
}

std::optional<std::uint32_t> HexField(std::string_view text, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        const char c = text[i];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else {
            return std::nullopt;
        }
        value = value << 4 | digit;
    }
    return value;
}

int NumberOr(const std::string& text, std::uint32_t limit, int fallback) {
    const std::optional<std::uint32_t> value = ReadCount(text, limit);
    return value ? static_cast<int>(*value) : fallback;
}

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name.find_first_of("\\/:") == std::string_view::npos && name != "." &&
           name != "..";
}

WatermarkOptions TextWatermark(const OptionLines& lines) {
    WatermarkOptions options;
    options.kind = WatermarkKind::Text;
    options.web = LineOf(lines, 2);
    options.text = LineOf(lines, 3);
    options.left = NumberOr(LineOf(lines, 4), kMaxPosition, 0);
    options.top = NumberOr(LineOf(lines, 5), kMaxPosition, 0);
    options.everySeconds = ReadCount(LineOf(lines, 6), kMaxSeconds).value_or(60);
    options.visibleSeconds = ReadCount(LineOf(lines, 7), kMaxSeconds).value_or(5);
    options.transparentBackground = IsFlagOn(lines, 8);
    options.font = ReadFontText(LineOf(lines, 9)).value_or(WatermarkFont{});
    const std::string& colour = LineOf(lines, 10);
    if (colour.size() == 8) {
        options.backColour = HexField(colour, 0, 8).value_or(options.backColour);
    }
    options.placement = static_cast<WatermarkPlacement>(NumberOr(LineOf(lines, 11), 2, 0));
    options.periodic = IsFlagOn(lines, 12);
    options.horizontal = NumberOr(LineOf(lines, 13), 2, 0);
    options.vertical = NumberOr(LineOf(lines, 14), 2, 0);
    return options;
}

WatermarkOptions ImageWatermark(const OptionLines& lines) {
    WatermarkOptions options;
    options.kind = WatermarkKind::Image;
    options.web = LineOf(lines, 2);
    options.left = NumberOr(LineOf(lines, 3), kMaxPosition, 0);
    options.top = NumberOr(LineOf(lines, 4), kMaxPosition, 0);
    options.imageTransparency = ReadCount(LineOf(lines, 5), 100).value_or(0);
    return options;
}

int Offset(int choice, int area, int mark) {
    const int room = std::max(0, area - mark);
    return choice == 1 ? room / 2 : choice == 2 ? room : 0;
}

}  // namespace

const std::string& LineOf(const OptionLines& lines, std::size_t number) {
    static const std::string kEmpty;
    return number >= 1 && number <= lines.size() ? lines[number - 1] : kEmpty;
}

std::optional<std::uint32_t> ReadCount(std::string_view text, std::uint32_t limit) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, limit));
}

PictureKind PictureKindOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot);
    if (EqualsIgnoringCase(extension, ".png")) {
        return PictureKind::Png;
    }
    if (EqualsIgnoringCase(extension, ".gif")) {
        return PictureKind::Gif;
    }
    if (EqualsIgnoringCase(extension, ".wmf") || EqualsIgnoringCase(extension, ".emf")) {
        return PictureKind::Metafile;
    }
    return PictureKind::Bitmap;
}

bool LogoSwitchedOn(const OptionLines& winsetbrower, int which) {
    return IsFlagOn(winsetbrower, which == 1 ? 2 : 3);
}

std::optional<LogoOptions> ParseLogoOptions(const OptionLines& lines) {
    const std::string& entry = LineOf(lines, 1);
    if (entry.empty()) {
        return std::nullopt;
    }
    LogoOptions logo;
    logo.imageEntry = entry;
    logo.kind = PictureKindOf(entry);
    const bool fades = logo.kind == PictureKind::Bitmap;
    logo.fadeIn = fades && IsFlagOn(lines, 2);
    logo.waitForClick = !IsFlagOn(lines, 3);
    logo.seconds = ReadCount(LineOf(lines, 4), kMaxSeconds).value_or(3);
    logo.fadeOut = fades && IsFlagOn(lines, 6);
    return logo;
}

std::vector<EmbeddedFont> ParseEmbeddedFonts(const OptionLines& names, const OptionLines& files) {
    std::vector<EmbeddedFont> fonts;
    if (!IsFlagOn(names, 1) || !IsFlagOn(files, 1)) {
        return fonts;
    }
    for (std::size_t line = 2; line <= std::min(names.size(), files.size()); ++line) {
        const std::string& fileLine = files[line - 1];
        const std::size_t bar = fileLine.find('|');
        std::vector<std::string> parts = {fileLine.substr(0, bar)};
        if (bar != std::string::npos) {
            parts.push_back(fileLine.substr(bar + 1));
        }
        if (!std::ranges::all_of(parts, IsPlainFileName) || names[line - 1].empty()) {
            continue;
        }
        EmbeddedFont font{names[line - 1], {}};
        for (const std::string& part : parts) {
            font.entries.push_back(kFontFolder + part);
        }
        fonts.push_back(std::move(font));
    }
    return fonts;
}

std::string FaceOfDisplayName(std::string_view displayName) {
    displayName = displayName.substr(0, displayName.find(" & "));
    const std::size_t bracket = displayName.rfind(" (");
    if (bracket != std::string_view::npos && displayName.ends_with(')')) {
        displayName = displayName.substr(0, bracket);
    }
    return std::string(displayName);
}

WindowOptions ParseWindowOptions(const OptionLines& winoptions) {
    WindowOptions options;
    options.title = LineOf(winoptions, 1);
    const auto size = [&](std::size_t line) -> std::optional<int> {
        const std::optional<std::uint32_t> value =
            ReadCount(LineOf(winoptions, line), kMaxWindowSize);
        return value && *value > 0 ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
    };
    options.width = size(2);
    options.height = size(3);
    options.maximised = IsFlagOn(winoptions, 4);
    options.fixedFrame = IsFlagOn(winoptions, 7);
    const std::optional<std::uint32_t> version = ReadCount(LineOf(winoptions, 9), 1000);
    if (version && *version > 0) {
        options.wordVersion = static_cast<int>(*version);
    }
    return options;
}

std::optional<int> WordVersionFromCurVer(std::string_view curVer) {
    constexpr std::string_view kPrefix = "Word.Application.";
    if (curVer.size() <= kPrefix.size() ||
        !EqualsIgnoringCase(curVer.substr(0, kPrefix.size()), kPrefix)) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> version = ReadCount(curVer.substr(kPrefix.size()), 1000);
    return version ? std::optional<int>(static_cast<int>(*version)) : std::nullopt;
}

std::optional<WatermarkFont> ReadFontText(std::string_view text) {
    if (text.size() <= 32) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> colour = HexField(text, 0, 8);
    const std::optional<std::uint32_t> height = HexField(text, 8, 8);
    const std::optional<std::uint32_t> pitch = HexField(text, 24, 1);
    const std::optional<std::uint32_t> charset = HexField(text, 25, 2);
    const std::optional<std::uint32_t> style = HexField(text, 27, 1);
    const std::optional<std::uint32_t> length = HexField(text, 28, 4);
    if (!colour || !height || !HexField(text, 16, 8) || !pitch || !charset || !style || !length) {
        return std::nullopt;
    }
    WatermarkFont font;
    font.colour = *colour;
    font.height = static_cast<std::int32_t>(*height);
    font.pitch = *pitch;
    font.charset = *charset;
    font.style = *style;
    const std::string_view face = text.substr(32, std::min<std::size_t>(*length, 31));
    if (!face.empty()) {
        font.face = std::string(face);
    }
    return font;
}

WatermarkOptions ParseWatermarkOptions(const OptionLines& lines) {
    const std::string& kind = LineOf(lines, 1);
    if (kind == "1" && lines.size() >= 14) {
        return TextWatermark(lines);
    }
    if (kind == "2" && lines.size() >= 5) {
        return ImageWatermark(lines);
    }
    return WatermarkOptions{};
}

Point PlaceWatermark(const WatermarkOptions& options, int areaWidth, int areaHeight, int markWidth,
                     int markHeight, std::uint32_t random) {
    const int roomX = std::max(0, areaWidth - markWidth);
    const int roomY = std::max(0, areaHeight - markHeight);
    if (options.kind == WatermarkKind::Text && options.placement == WatermarkPlacement::Random) {
        const auto spread = [](std::uint32_t value, int room) {
            return static_cast<int>(value % (static_cast<std::uint32_t>(room) + 1));
        };
        return {spread(random & 0xFFFF, roomX), spread(random >> 16, roomY)};
    }
    if (options.kind == WatermarkKind::Text && options.placement == WatermarkPlacement::Relative) {
        return {Offset(options.horizontal, areaWidth, markWidth),
                Offset(options.vertical, areaHeight, markHeight)};
    }
    return {std::min(options.left, roomX), std::min(options.top, roomY)};
}

bool WatermarkVisibleAt(const WatermarkOptions& options, std::uint64_t second) {
    if (!options.periodic || options.everySeconds == 0) {
        return true;
    }
    return second % options.everySeconds < options.visibleSeconds;
}

std::optional<std::string> WatermarkAddress(std::string_view web) {
    while (!web.empty() && (web.front() == ' ' || web.front() == '\t')) {
        web.remove_prefix(1);
    }
    while (!web.empty() && (web.back() == ' ' || web.back() == '\t')) {
        web.remove_suffix(1);
    }
    const auto startsWith = [&](std::string_view prefix) {
        return web.size() > prefix.size() &&
               EqualsIgnoringCase(web.substr(0, prefix.size()), prefix);
    };
    if (!startsWith("http://") && !startsWith("https://")) {
        return std::nullopt;
    }
    if (std::ranges::any_of(web, [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ' ';
        })) {
        return std::nullopt;
    }
    return std::string(web);
}

}  // namespace quorlix
