#include "support/serial_package_writer.h"

#include "common/byte_order.h"
#include "package/chunked_copy.h"
#include "package/package_writer.h"
#include "support/zlib_compressor.h"

namespace quorlix::test {

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
        ReportEntryDone(sink, sources[i]);
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

}  // namespace quorlix::test
