#include "conversion/travelling_names.h"

#include <algorithm>

#include "conversion/option_files.h"
#include "package/player_names.h"
#include "platform/file_system.h"

namespace quorlix {

namespace {

constexpr char kFontFolder[] = "myfont\\";

std::string AsciiLetterAndDigits(const std::string& text) {
    std::string kept;
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            kept += c;
        }
    }
    return kept;
}

std::string Folded(std::string name) {
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return name;
}

bool Travels(const std::string& entryName) {
    return Utf8EntryNameProblem(entryName).empty();
}

}  // namespace

std::string TravellingExtension(const std::string& prefix, const std::string& extension) {
    if (Travels(prefix + extension)) {
        return extension;
    }
    const std::string kept = AsciiLetterAndDigits(extension);
    return kept.empty() ? std::string() : "." + kept;
}

std::vector<std::string> FontPackNames(const OptionSet& options) {
    std::vector<std::string> own;
    for (const FontEntry& entry : options.embedfontlist) {
        for (const std::string& file : FontEntryFiles(entry)) {
            own.push_back(FileNameOf(file));
        }
    }
    std::vector<std::string> taken;
    for (const std::string& name : own) {
        taken.push_back(Folded(name));
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < own.size(); ++i) {
        if (Travels(kFontFolder + own[i])) {
            names.push_back(own[i]);
            continue;
        }
        const std::string extension = TravellingExtension("font", ExtensionOf(own[i]));
        std::string base = "font" + std::to_string(i + 1);
        while (std::ranges::find(taken, Folded(base + extension)) != taken.end()) {
            base += "_";
        }
        names.push_back(base + extension);
        taken.push_back(Folded(names.back()));
    }
    return names;
}

}  // namespace quorlix
