#include "package/output_assembly.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <system_error>

#include "common/byte_order.h"
#include "common/payload_layout.h"
#include "common/scramble.h"
#include "package/chunked_copy.h"
#include "package/parallel_package_writer.h"

namespace quorlix {

void AppendDocumentTo(const std::string& documentPath, File& output, ProgressSink& sink) {
    output.SeekEnd();
    const std::uint64_t sectionSize = AppendScrambledFile(documentPath, output, sink);
    output.SeekEnd();
    WriteLE32(output, static_cast<std::uint32_t>(sectionSize + 4));
}

std::uint64_t AppendScrambledFile(const std::string& filePath, File& output, ProgressSink& sink) {
    File source = File::Open(filePath, File::Mode::Read);
    const std::uint64_t size = source.Size();
    // The document trailer holds the section's length plus 4 in 32 bits.
    if (size > UINT32_MAX - 4) {
        throw std::system_error(EFBIG, std::generic_category(), filePath);
    }
    output.SeekEnd();
    const std::uint64_t start = output.Size();
    if (size > 0) {
        CopyScrambled(source, output, size, sink);
    }
    source.Close();
    return output.Size() - start;
}

std::uint64_t CopyScrambled(File& source, File& target, std::uint64_t count, ProgressSink& sink) {
    return CopyInChunks(source, count, sink, [&](std::uint8_t* chunk, std::size_t size) {
        ScrambleBuffer(chunk, kScrambleKey, kScrambleKeyLength, size);
        target.WriteAll(chunk, size);
        sink.AddProgress(static_cast<std::uint32_t>(size));
    });
}

bool AppendPackageInParallel(File& output, std::span<const std::string> sources,
                             std::span<const std::string> names, ProgressSink& sink) {
    const std::uint64_t start = output.Size();
    output.SeekEnd();
    WritePackageInParallel(sources, names, output, sink);
    if (sink.CancelRequested()) {
        return false;
    }
    const std::uint64_t packageSize = output.Size() - start;
    if (packageSize > UINT32_MAX) {
        throw std::system_error(EFBIG, std::generic_category(), output.path());
    }
    WriteLE32(output, static_cast<std::uint32_t>(packageSize));
    return true;
}

void AppendEndMarkerTo(File& output) {
    output.SeekEnd();
    std::uint8_t marker[kEndMarkerSize];
    std::fill(std::begin(marker), std::end(marker), kEndMarkerByte);
    output.WriteAll(marker, sizeof marker);
}

}  // namespace quorlix
