#include "platform/package_object.h"

#include <iterator>
#include <string_view>

#include "common/byte_order.h"
#include "common/utf16.h"
#include "platform/ansi_code_page.h"
#include "platform/error.h"

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

void PutAnsiZ(std::vector<std::uint8_t>& out, const std::string& utf8) {
    const std::string ansi = ToAnsi(utf8);
    out.insert(out.end(), ansi.begin(), ansi.end());
    out.push_back(0);
}

void PutUnicode(std::vector<std::uint8_t>& out, const std::string& utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    PutLE32(out, static_cast<std::uint32_t>(units.size()));
    for (char16_t unit : units) {
        PutLE16(out, unit);
    }
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

std::vector<std::uint8_t> PackageCompObjBytes() {
    static constexpr std::uint8_t kHead[] = {0x01, 0x00, 0xFE, 0xFF, 0x03, 0x0A,
                                             0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    std::vector<std::uint8_t> out;
    out.reserve(76);
    out.insert(out.end(), std::begin(kHead), std::end(kHead));
    out.insert(out.end(), cfb::kPackageClassId.begin(), cfb::kPackageClassId.end());
    const std::string_view userType("OLE Package");
    PutLE32(out, static_cast<std::uint32_t>(userType.size() + 1));
    out.insert(out.end(), userType.begin(), userType.end());
    out.push_back(0);
    PutLE32(out, 0);
    const std::string_view progId("Package");
    PutLE32(out, static_cast<std::uint32_t>(progId.size() + 1));
    out.insert(out.end(), progId.begin(), progId.end());
    out.push_back(0);
    PutLE32(out, 0x71B239F4);
    out.insert(out.end(), 12, 0);
    return out;
}

StreamContent Ole10NativeContent(const PackageNames& names, StreamContent data) {
    if (data.size() > kMaxEmbeddedFileSize) {
        throw Error(TooLargeToEmbedMessage(names.label, data.size()));
    }
    std::vector<std::uint8_t> head;
    PutLE16(head, 2);
    PutAnsiZ(head, names.label);
    PutAnsiZ(head, names.sourcePath);
    PutLE32(head, 0x00030000);
    PutLE32(head, static_cast<std::uint32_t>(ToAnsi(names.temporaryPath).size() + 1));
    PutAnsiZ(head, names.temporaryPath);
    PutLE32(head, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> tail;
    PutUnicode(tail, names.temporaryPath);
    PutUnicode(tail, names.label);
    PutUnicode(tail, names.sourcePath);

    std::vector<std::uint8_t> size;
    PutLE32(size, static_cast<std::uint32_t>(head.size() + data.size() + tail.size()));
    StreamContent content;
    content.AppendBytes(std::move(size));
    content.AppendBytes(std::move(head));
    content.Append(std::move(data));
    content.AppendBytes(std::move(tail));
    return content;
}

void AddPackageObject(CompoundFileWriter& writer, const PackageNames& names, StreamContent data) {
    writer.SetClassId(CompoundFileWriter::kRoot, cfb::kPackageClassId);
    StreamContent compObj;
    compObj.AppendBytes(PackageCompObjBytes());
    writer.AddStream(CompoundFileWriter::kRoot,
                     u"\x01"
                     u"CompObj",
                     std::move(compObj));
    writer.AddStream(CompoundFileWriter::kRoot,
                     u"\x01"
                     u"Ole10Native",
                     Ole10NativeContent(names, std::move(data)));
}

}  // namespace quorlix
