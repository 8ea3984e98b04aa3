#include "package/package_writer.h"

#include <zlib.h>

#include <cerrno>
#include <climits>
#include <system_error>

#include "common/byte_order.h"
#include "common/payload_layout.h"
#include "package/chunked_copy.h"
#include "package/zlib_compressor.h"
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

void RaiseProgressTotal(ProgressSink& sink, const std::string& sourcePath) {
    sink.SetProgressTotal(sink.ProgressTotal() + KibRoundedHalfEven(FileSizeOf(sourcePath)));
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

std::size_t WritePackage(std::span<const std::string> sources, std::span<const std::string> names,
                         File& output, ProgressSink& sink) {
    std::vector<std::string> directory;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (sink.CancelRequested()) {
            break;
        }
        AddPackageEntry(sources[i], i < names.size() ? names[i] : std::string(), output, directory,
                        sink);
        if (sink.CancelRequested()) {
            break;
        }
        RaiseProgressTotal(sink, sources[i]);
    }
    if (!sink.CancelRequested()) {
        WritePackageDirectory(directory, output);
    }
    return directory.size();
}

void AddPackageEntry(const std::string& sourcePath, const std::string& name, File& output,
                     std::vector<std::string>& directory, ProgressSink& sink) {
    const std::string entryName = name.empty() ? EntryNameOf(sourcePath) : name;
    CheckEntryName(entryName);
    const std::uint64_t recordLength = AppendCompressedFile(sourcePath, output, sink);
    directory.push_back(entryName + "|" + std::to_string(recordLength));
}

std::uint64_t AppendCompressedFile(const std::string& sourcePath, File& output,
                                   ProgressSink& sink) {
    File source = File::Open(sourcePath, File::Mode::Read);
    const std::uint64_t size = source.Size();
    CheckEntrySize(size, sourcePath);
    const std::uint64_t start = output.Size();
    output.Seek(start);
    WriteLE32(output, static_cast<std::uint32_t>(size));
    {
        ZlibCompressor compressor(output, sink);
        if (size > 0) {
            CopyToStream(source, compressor, size, sink);
        }
        compressor.Finish();
    }
    source.Close();
    return output.Size() - start;
}

std::uint64_t CopyToStream(File& source, OutputStream& target, std::uint64_t count,
                           ProgressSink& sink) {
    return CopyInChunks(source, count, sink, [&target](std::uint8_t* chunk, std::size_t size) {
        target.Write(chunk, size);
    });
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
