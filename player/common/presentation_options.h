#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlix {

// Package entries of the option files that shape how the document is presented.
inline constexpr char kLogoSwitchEntry[] = "option\\winsetbrower.dll";
inline constexpr char kFirstLogoEntry[] = "option\\trmack1.dll";
inline constexpr char kSecondLogoEntry[] = "option\\trmack2.dll";
inline constexpr char kFontNamesEntry[] = "option\\trmacke1.dll";
inline constexpr char kFontFilesEntry[] = "option\\trmacke2.dll";
inline constexpr char kWatermarkEntry[] = "option\\wateroptions.dll";
inline constexpr char kWatermarkImageEntry[] = "option\\wateroptionimage.dll";
inline constexpr char kFontFolder[] = "myfont\\";

using OptionLines = std::vector<std::string>;

// Line `number` (from 1) of an option file, empty past its end.
const std::string& LineOf(const OptionLines& lines, std::size_t number);

// A decimal number of digits only, at most `limit`; nothing for any other text.
std::optional<std::uint32_t> ReadCount(std::string_view text, std::uint32_t limit);

// How a picture is shown: its kind follows from its file extension.
enum class PictureKind { Bitmap, Png, Gif, Metafile };
PictureKind PictureKindOf(std::string_view name);

// One logo image (trmack1.dll or trmack2.dll) as the preview window shows it.
struct LogoOptions {
    std::string imageEntry;  // the package entry of the picture
    bool fadeIn = false;
    bool fadeOut = false;
    bool waitForClick = false;  // closes only on a click
    std::uint32_t seconds = 3;  // before closing by itself; 0 never closes by itself
    PictureKind kind = PictureKind::Bitmap;
};

// Which logos winsetbrower.dll switches on: line 2 the first, line 3 the second.
bool LogoSwitchedOn(const OptionLines& winsetbrower, int which);

// The logo described by trmack1.dll or trmack2.dll; nothing when the file names no picture.
// Fades are dropped for pictures that carry their own transparency or are drawn (PNG, GIF,
// WMF, EMF); unreadable seconds count as 3.
std::optional<LogoOptions> ParseLogoOptions(const OptionLines& lines);

// A font to add while the document is open: its display name and one file, or two for a
// Type 1 font (metrics, outline), as package entries under myfont\.
struct EmbeddedFont {
    std::string displayName;
    std::vector<std::string> entries;
};

// The fonts of trmacke1.dll (display names) and trmacke2.dll (file names), paired by line;
// none unless both begin with "1". File names with a folder or nothing in them are skipped.
std::vector<EmbeddedFont> ParseEmbeddedFonts(const OptionLines& names, const OptionLines& files);

// The face name a font's display name stands for: without its kind in brackets ("(TrueType)")
// and, for a collection ("A & B"), its first face.
std::string FaceOfDisplayName(std::string_view displayName);

// The document window's settings from winoptions.dll.
struct WindowOptions {
    std::string title;               // line 1, ANSI
    std::optional<int> width;        // line 2
    std::optional<int> height;       // line 3
    bool maximised = false;          // line 4 "1"
    bool fixedFrame = false;         // line 7 "1"
    std::optional<int> wordVersion;  // line 9: the least major version of Word required
};
WindowOptions ParseWindowOptions(const OptionLines& winoptions);

// Word's major version from the registry's Word.Application\CurVer ("Word.Application.16").
std::optional<int> WordVersionFromCurVer(std::string_view curVer);

// The font of a text watermark, read from its font text.
struct WatermarkFont {
    std::uint32_t colour = 0x00808000;
    std::int32_t height = -16;
    std::uint32_t pitch = 0;
    std::uint32_t charset = 1;
    std::uint32_t style = 1;  // 1 bold, 2 italic, 4 underline, 8 strike-out
    std::string face = "MS Sans Serif";
};

// Reads font text (fixed-width upper-case hexadecimal fields, then the face name); nothing
// when it is too short or a field is not hexadecimal.
std::optional<WatermarkFont> ReadFontText(std::string_view text);

enum class WatermarkKind { None, Text, Image };
enum class WatermarkPlacement { Custom, Relative, Random };

// wateroptions.dll, text (14 lines) or image (5 lines).
struct WatermarkOptions {
    WatermarkKind kind = WatermarkKind::None;
    std::string web;
    std::string text;
    int left = 0;
    int top = 0;
    std::uint32_t everySeconds = 60;
    std::uint32_t visibleSeconds = 5;
    bool transparentBackground = false;
    WatermarkFont font;
    std::uint32_t backColour = 0x0000FFFF;
    WatermarkPlacement placement = WatermarkPlacement::Custom;
    bool periodic = false;
    int horizontal = 0;                   // 0 left, 1 centre, 2 right
    int vertical = 0;                     // 0 top, 1 centre, 2 bottom
    std::uint32_t imageTransparency = 0;  // percent
};

// A damaged file gives no watermark; a damaged field its default.
WatermarkOptions ParseWatermarkOptions(const OptionLines& lines);

// Where the watermark goes in a client area of width x height; `random` is any number, used
// for the random placement. The watermark stays inside the area where it fits.
struct Point {
    int x = 0;
    int y = 0;
};
Point PlaceWatermark(const WatermarkOptions& options, int areaWidth, int areaHeight, int markWidth,
                     int markHeight, std::uint32_t random);

// Whether the watermark shows `second` seconds after it first appeared: always, or with the
// periodic setting for the first visibleSeconds of every everySeconds.
bool WatermarkVisibleAt(const WatermarkOptions& options, std::uint64_t second);

// The address a click on the watermark opens: http:// or https:// only, no blanks around,
// no control characters.
std::optional<std::string> WatermarkAddress(std::string_view web);

}  // namespace quorlix
