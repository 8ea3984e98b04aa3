#include "package/output_assembly.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <system_error>

#include "common/byte_order.h"
#include "common/payload_layout.h"
#include "package/parallel_package_writer.h"
#include "package/scrambled_section_sink.h"

namespace quorlix {

void AppendDocumentTo(const StagedCopy& stagedCopy, File& output, ProgressSink& sink) {
    // The document trailer holds the section's length plus 4 in 32 bits.
    if (stagedCopy.size() > UINT32_MAX - 4) {
        throw std::system_error(EFBIG, std::generic_category(), "the staged copy");
    }
    output.SeekEnd();
    ScrambledSectionSink section(output, sink);
    stagedCopy.WriteTo(section);
    const std::uint64_t sectionSize = section.Finish();
    WriteLE32(output, static_cast<std::uint32_t>(sectionSize + 4));
}

bool AppendPackageInParallel(File& output, std::span<const PackageSource> sources,
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
