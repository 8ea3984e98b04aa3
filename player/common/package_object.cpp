#include "common/package_object.h"

#include <iterator>
#include <string_view>

#include "common/byte_order.h"
#include "common/error.h"

namespace quorlix {

namespace {

void PutAnsiZ(std::vector<std::uint8_t>& out, const std::string& ansi) {
    out.insert(out.end(), ansi.begin(), ansi.end());
    out.push_back(0);
}

void PutUnicode(std::vector<std::uint8_t>& out, const std::u16string& units) {
    PutLE32(out, static_cast<std::uint32_t>(units.size()));
    for (char16_t unit : units) {
        PutLE16(out, unit);
    }
}

}  // namespace

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

StreamContent Ole10NativeContent(const PackageObjectNames& names, StreamContent data) {
    if (data.size() > kMaxEmbeddedFileSize) {
        throw Error("The document is too large to embed: it holds " + std::to_string(data.size()) +
                    " bytes, and the largest document that fits is " +
                    std::to_string(kMaxEmbeddedFileSize) + " bytes (2 GiB less 64 KiB)");
    }
    std::vector<std::uint8_t> head;
    PutLE16(head, 2);
    PutAnsiZ(head, names.ansiLabel);
    PutAnsiZ(head, names.ansiSourcePath);
    PutLE32(head, 0x00030000);
    PutLE32(head, static_cast<std::uint32_t>(names.ansiTemporaryPath.size() + 1));
    PutAnsiZ(head, names.ansiTemporaryPath);
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

void AddPackageObject(CompoundFileWriter& writer, const PackageObjectNames& names,
                      StreamContent data) {
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
