#include "package/package_writer.h"

#include <zlib.h>

#include <cerrno>
#include <climits>
#include <system_error>

#include "common/byte_order.h"
#include "common/payload_layout.h"
#include "platform/ansi_code_page.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace quorlix {

// The directory holds record lengths as signed 32-bit numbers, the size field 32 bits: refuse a
// source whose record could exceed either before writing any of it.
void CheckEntrySize(std::uint64_t size, const std::string& sourcePath) {
    if (size > UINT32_MAX || 4 + compressBound(static_cast<uLong>(size)) > INT32_MAX) {
        throw std::system_error(EFBIG, std::generic_category(), sourcePath);
    }
}

// A name with "|", CR or LF would break its directory line.
void CheckEntryName(const std::string& name) {
    if (name.empty() || name.find_first_of("|\r\n") != std::string::npos) {
        throw Error("Invalid package entry name: \"" + name + "\"");
    }
}

void ReportEntryDone(ProgressSink& sink, const std::string& sourcePath) {
    sink.EntryDone(KibRoundedHalfEven(FileSizeOf(sourcePath)));
}

void WritePackageDirectory(const std::vector<std::string>& directory, File& output) {
    std::string text;
    for (const std::string& line : directory) {
        text += line;
        text += "\r\n";
    }
    const std::string ansi = ToAnsi(text);
    output.WriteAll(ansi.data(), ansi.size());
    WriteLE32(output, static_cast<std::uint32_t>(ansi.size()));
    output.WriteAll(kPackageSignature, sizeof kPackageSignature);
}

std::uint32_t KibRoundedHalfEven(std::int32_t size) {
    if (size < 0) {
        return 0;
    }
    const auto bytes = static_cast<std::uint32_t>(size);
    std::uint32_t kib = bytes / 1024;
    const std::uint32_t rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && kib % 2 == 1)) {
        ++kib;
    }
    return kib;
}

std::string EntryNameOf(const std::string& sourcePath) {
    const auto separator = sourcePath.find_last_of("/\\:");
    return separator == std::string::npos ? sourcePath : sourcePath.substr(separator + 1);
}

std::string TextBefore(const std::string& text, const std::string& separator) {
    const auto at = text.find(separator);
    return at == std::string::npos ? std::string() : text.substr(0, at);
}

std::string TextAfter(const std::string& text, const std::string& separator) {
    const auto at = text.find(separator);
    return at == std::string::npos ? std::string() : text.substr(at + separator.size());
}

}  // namespace quorlix
