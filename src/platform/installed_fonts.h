#pragma once

#include <string>
#include <vector>

typedef struct _FcConfig FcConfig;

namespace quorlix {

// One row of the fonts list: the name the user picks and the file (or "metrics|outline") behind it.
struct FontListEntry {
    std::string displayName;
    std::string fileEntry;
};

// The fonts installed for this user, as fontconfig's default configuration finds them.
std::vector<FontListEntry> ListInstalledFonts();
// The fonts that the given fontconfig configuration holds.
std::vector<FontListEntry> ListInstalledFonts(FcConfig* config);
// The fonts in the given font files and folders (folders searched with their subfolders).
std::vector<FontListEntry> ListInstalledFonts(const std::vector<std::string>& filesAndFolders);

// The folder where the system's fonts are installed.
std::string SystemFontsFolder();

// The parts of the list building that do not need fontconfig.

// A face's name as Windows shows it: family and style, a regular style left out.
std::string FaceName(const std::string& family, const std::string& style);

// The metrics file (.pfm, else .afm, same base name in any letter case) beside a Type 1 outline
// file; empty when there is none.
std::string MetricsFileFor(const std::string& outlinePath);

// Sorts by display name, case-insensitively in the user's locale.
void SortByDisplayName(std::vector<FontListEntry>& entries);

}  // namespace quorlix
