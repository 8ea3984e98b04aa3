#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/option_set.h"
#include "conversion/text_file.h"

namespace quorlix {

// File names of the option files; inside the package each is
// OptionEntryName(file name).
inline constexpr std::string_view kWinsetbrowerFile = "winsetbrower.dll";
inline constexpr std::string_view kWateroptionsFile = "wateroptions.dll";
inline constexpr std::string_view kWinoptionsFile = "winoptions.dll";
inline constexpr std::string_view kTrmack1File = "trmack1.dll";
inline constexpr std::string_view kTrmack2File = "trmack2.dll";
inline constexpr std::string_view kTrmacke1File = "trmacke1.dll";
inline constexpr std::string_view kTrmacke2File = "trmacke2.dll";
// Package entry of the watermark image, whatever its real type.
inline constexpr std::string_view kWaterImageEntry = "option\\wateroptionimage.dll";

// "option\" + fileName.
std::string OptionEntryName(std::string_view fileName);
// Package entries of the logo images: "option\1" or "option\2" + the image's extension.
std::string FirstImageEntryName(const OptionSet& options);
std::string SecondImageEntryName(const OptionSet& options);
// The files of a font file entry: one, or the two around its first "|".
std::vector<std::string> FontEntryFiles(const FontEntry& entry);

// winsetbrower.dll: "~~~~~" + the packed document's extension, then whether the first and the
// second image are shown (flag set and file there).
std::vector<std::string> WinsetbrowerLines(const OptionSet& options, const std::string& sourcePath,
                                           bool firstImageExists, bool secondImageExists);

// wateroptions.dll: "0"; the 14 lines of a text watermark; or the 5 lines of an image watermark
// whose file exists ("0" when it does not).
std::vector<std::string> WateroptionsLines(const OptionSet& options, bool waterImageExists);

// winoptions.dll: the 16 lines of window and Word settings; flags "1"/"2". documentPath is the
// Word document as the document list holds it.
std::vector<std::string> WinoptionsLines(const OptionSet& options, const std::string& documentPath);

// trmack1.dll and trmack2.dll: the six lines of the first and the second logo image.
std::vector<std::string> Trmack1Lines(const OptionSet& options);
std::vector<std::string> Trmack2Lines(const OptionSet& options);

// trmacke1.dll: "1" and the display names of the fonts, or "0".
std::vector<std::string> Trmacke1Lines(const OptionSet& options);
// trmacke2.dll: "1" and the file names of the fonts ("a.pfm|a.pfb" for two files), or "0".
std::vector<std::string> Trmacke2Lines(const OptionSet& options);

}  // namespace quorlix
