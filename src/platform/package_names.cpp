#include "platform/package_names.h"

#include <string_view>

#include "common/utf16.h"
#include "platform/ansi_code_page.h"

namespace quorlix {

namespace {

std::string SafeName(const std::string& name) {
    std::string safe;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool bad = u < 0x20 || u == 0x7F ||
                         std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        safe += bad ? '_' : c;
    }
    return safe.empty() ? std::string("document") : safe;
}

bool FitsInPath(const std::string& name) {
    const std::size_t room = kMaxPackagePathLength - (sizeof kPackageFolder - 1);
    return Utf8ToUtf16(name).size() <= room && ToAnsi(name).size() <= room;
}

void DropLastCodePoint(std::string& text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) {
        text.pop_back();
    }
    if (!text.empty()) {
        text.pop_back();
    }
}

std::string ShortenedName(const std::string& name) {
    const auto dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    std::string extension = stem.size() == name.size() ? std::string() : name.substr(dot);
    while (!FitsInPath(stem + extension)) {
        DropLastCodePoint(stem.empty() ? extension : stem);
    }
    return stem + extension;
}

}  // namespace

std::string TooLargeToEmbedMessage(const std::string& document, std::uint64_t size) {
    return "The document is too large to embed: " + document + " holds " + std::to_string(size) +
           " bytes, and the largest document that fits is " + std::to_string(kMaxEmbeddedFileSize) +
           " bytes (2 GiB less 64 KiB)";
}

PackageNames PackageNamesFor(const std::string& fileName) {
    const std::string label = ShortenedName(SafeName(fileName));
    return {label, kPackageFolder + label, kPackageFolder + label};
}

PackageObjectNames EncodePackageNames(const PackageNames& names) {
    return {ToAnsi(names.label),           ToAnsi(names.sourcePath),
            ToAnsi(names.temporaryPath),   Utf8ToUtf16(names.label),
            Utf8ToUtf16(names.sourcePath), Utf8ToUtf16(names.temporaryPath)};
}

}  // namespace quorlix
