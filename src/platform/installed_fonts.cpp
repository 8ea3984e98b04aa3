#include "platform/installed_fonts.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <map>
#include <new>
#include <set>
#include <system_error>
#include <tuple>
#include <utility>

#include "platform/collation.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/fontconfig_handles.h"

namespace quorlix {

namespace {

namespace fs = std::filesystem;

// One face of a font file as fontconfig reports it.
struct Face {
    int index = 0;
    std::string name;
    std::string format;
};

// What the fonts list makes of a file, by the outline format fontconfig reports.
enum class FileKind { TrueType, OpenType, Type1, Other };

FileKind KindOf(const std::string& format) {
    if (format == "TrueType") {
        return FileKind::TrueType;
    }
    if (format == "CFF") {
        return FileKind::OpenType;
    }
    if (format == "Type 1") {
        return FileKind::Type1;
    }
    return FileKind::Other;
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string PatternString(FcPattern* pattern, const char* object, int n) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || value == nullptr) {
        return {};
    }
    return reinterpret_cast<const char*>(value);
}

// The English value of a name object (family, style), else its first value.
std::string EnglishValue(FcPattern* pattern, const char* object, const char* langObject) {
    for (int n = 0;; ++n) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch) {
            break;
        }
        const std::string lang = AsciiLower(PatternString(pattern, langObject, n));
        if (lang == "en" || lang.starts_with("en-")) {
            return reinterpret_cast<const char*>(value);
        }
    }
    return PatternString(pattern, object, 0);
}

// Faces of every listed file, by file path. Named instances of variable fonts are left out: they
// are not faces of their own.
std::map<std::string, std::vector<Face>> FacesByFile(FcFontSet& fonts) {
    std::map<std::string, std::vector<Face>> files;
    for (int i = 0; i < fonts.nfont; ++i) {
        FcPattern* pattern = fonts.fonts[i];
        const std::string file = PatternString(pattern, FC_FILE, 0);
        int index = 0;
        FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
        if (file.empty() || (index >> 16) != 0) {
            continue;
        }
        Face face;
        face.index = index;
        face.name = FaceName(EnglishValue(pattern, FC_FAMILY, FC_FAMILYLANG),
                             EnglishValue(pattern, FC_STYLE, FC_STYLELANG));
        face.format = PatternString(pattern, FC_FONTFORMAT, 0);
        files[file].push_back(std::move(face));
    }
    return files;
}

// The faces' names in face order, each once, empty names left out, joined with " & ".
std::string JoinedFaceNames(std::vector<Face> faces) {
    std::stable_sort(faces.begin(), faces.end(),
                     [](const Face& a, const Face& b) { return a.index < b.index; });
    std::vector<std::string> names;
    for (const Face& face : faces) {
        if (!face.name.empty() && std::find(names.begin(), names.end(), face.name) == names.end()) {
            names.push_back(face.name);
        }
    }
    std::string joined;
    for (const std::string& name : names) {
        joined += joined.empty() ? name : " & " + name;
    }
    return joined;
}

bool IsLink(const std::string& path) {
    std::error_code ec;
    return fs::is_symlink(path, ec);
}

// The listed files, each file once: of the paths that lead to one file (links, a folder listed
// twice), the first that is no link, in path order.
std::vector<std::pair<std::string, std::vector<Face>>> DistinctFiles(
    std::map<std::string, std::vector<Face>> facesByFile) {
    std::vector<std::pair<std::string, std::vector<Face>>> files(
        std::make_move_iterator(facesByFile.begin()), std::make_move_iterator(facesByFile.end()));
    std::stable_partition(files.begin(), files.end(),
                          [](const auto& file) { return !IsLink(file.first); });
    std::set<std::pair<dev_t, ino_t>> seen;
    std::erase_if(files, [&](const auto& file) {
        struct stat st {};
        return ::stat(file.first.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second;
    });
    return files;
}

// Keeps the first entry of each display name: the names are the keys of the list, as the value
// names of a registry key are.
void RemoveRepeatedNames(std::vector<FontListEntry>& entries) {
    std::set<std::string> names;
    std::erase_if(entries, [&](const FontListEntry& entry) {
        return !names.insert(entry.displayName).second;
    });
}

std::vector<FontListEntry> EntriesFromFontSet(FcFontSet& fonts) {
    std::vector<FontListEntry> outlines;
    std::vector<FontListEntry> type1;
    for (const auto& [file, faces] : DistinctFiles(FacesByFile(fonts))) {
        const std::string name = JoinedFaceNames(faces);
        if (name.empty()) {
            continue;
        }
        switch (KindOf(faces.front().format)) {
            case FileKind::TrueType:
                outlines.push_back({name + " (TrueType)", file});
                break;
            case FileKind::OpenType:
                outlines.push_back({name + " (OpenType)", file});
                break;
            case FileKind::Type1: {
                const std::string metrics = MetricsFileFor(file);
                type1.push_back({name, metrics.empty() ? std::string() : metrics + "|" + file});
                break;
            }
            case FileKind::Other:
                break;
        }
    }
    RemoveRepeatedNames(outlines);
    RemoveRepeatedNames(type1);
    SortByDisplayName(outlines);
    SortByDisplayName(type1);
    outlines.insert(outlines.end(), std::make_move_iterator(type1.begin()),
                    std::make_move_iterator(type1.end()));
    return outlines;
}

// The cache folders of the system's own configuration, so that scanned folders are cached as usual.
const FcChar8 kCacheFolders[] =
    "<fontconfig><cachedir>/var/cache/fontconfig</cachedir>"
    "<cachedir prefix=\"xdg\">fontconfig</cachedir></fontconfig>";

void AddFontsTo(FcConfig* config, const std::string& path) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        throw std::system_error(
            ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory), path);
    }
    const std::string full = fs::absolute(path).lexically_normal().string();
    const auto* name = reinterpret_cast<const FcChar8*>(full.c_str());
    // A file that holds no font adds nothing; that is not an error.
    if (fs::is_directory(status)) {
        FcConfigAppFontAddDir(config, name);
    } else {
        FcConfigAppFontAddFile(config, name);
    }
}

}  // namespace

std::vector<FontListEntry> ListInstalledFonts() {
    FcConfigPtr config(FcInitLoadConfigAndFonts());
    if (!config) {
        return {};
    }
    return ListInstalledFonts(config.get());
}

std::vector<FontListEntry> ListInstalledFonts(FcConfig* config) {
    FcPatternPtr pattern(FcPatternCreate());
    FcObjectSetPtr objects(FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_FAMILYLANG, FC_STYLE,
                                            FC_STYLELANG, FC_FONTFORMAT, nullptr));
    if (!pattern || !objects) {
        throw std::bad_alloc();
    }
    FcFontSetPtr fonts(FcFontList(config, pattern.get(), objects.get()));
    if (!fonts) {
        return {};
    }
    return EntriesFromFontSet(*fonts);
}

std::vector<FontListEntry> ListInstalledFonts(const std::vector<std::string>& filesAndFolders) {
    FcConfigPtr config(FcConfigCreate());
    if (!config || !FcConfigParseAndLoadFromMemory(config.get(), kCacheFolders, FcFalse)) {
        throw Error("The font configuration cannot be set up.");
    }
    for (const std::string& path : filesAndFolders) {
        AddFontsTo(config.get(), path);
    }
    return ListInstalledFonts(config.get());
}

std::string SystemFontsFolder() {
    return "/usr/share/fonts";
}

std::string FaceName(const std::string& family, const std::string& style) {
    static const std::array<const char*, 6> kRegular = {"regular", "book",  "normal",
                                                        "roman",   "plain", "standard"};
    if (family.empty()) {
        return {};
    }
    const std::string lower = AsciiLower(style);
    if (style.empty() || std::find(kRegular.begin(), kRegular.end(), lower) != kRegular.end()) {
        return family;
    }
    return family + " " + style;
}

std::string MetricsFileFor(const std::string& outlinePath) {
    const std::string folder = FolderOf(outlinePath);
    const std::string name = FileNameOf(outlinePath);
    const std::string base = AsciiLower(name.substr(0, name.size() - ExtensionOf(name).size()));
    std::map<std::string, std::string> found;  // lower-case name -> first real name
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        const std::string lower = AsciiLower(candidate);
        if ((lower == base + ".pfm" || lower == base + ".afm") && it->is_regular_file(ec)) {
            auto [slot, fresh] = found.emplace(lower, candidate);
            if (!fresh && candidate < slot->second) {
                slot->second = candidate;
            }
        }
    }
    for (const char* extension : {".pfm", ".afm"}) {
        const auto hit = found.find(base + extension);
        if (hit != found.end()) {
            return folder.empty() ? hit->second : (fs::path(folder) / hit->second).string();
        }
    }
    return {};
}

void SortByDisplayName(std::vector<FontListEntry>& entries) {
    const CaseInsensitiveCollation collation;
    std::vector<std::pair<std::wstring, FontListEntry>> keyed;
    keyed.reserve(entries.size());
    for (FontListEntry& entry : entries) {
        keyed.emplace_back(collation.Key(entry.displayName), std::move(entry));
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) {
            return a.first < b.first;
        }
        return std::tie(a.second.displayName, a.second.fileEntry) <
               std::tie(b.second.displayName, b.second.fileEntry);
    });
    entries.clear();
    for (auto& [key, entry] : keyed) {
        entries.push_back(std::move(entry));
    }
}

}  // namespace quorlix
