#include "common/container_stream_writer.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/container_stream.h"
#include "common/error.h"

namespace quorlix {

void WriteContainerStream(const CompoundFileWriter& storage, ByteSink& sink) {
    const std::uint64_t size = storage.FileSize();
    if (size > 0xFFFFFFFF) {
        throw Error("The document is too large to embed");
    }
    std::uint8_t header[kContainerHeaderSize];
    std::copy(kContainerSignature.begin(), kContainerSignature.end(), header);
    SetLE32(header + 4, kDrawAspectContent);
    SetLE32(header + 8, static_cast<std::uint32_t>(size));
    sink.Write(header, sizeof header);
    storage.Write(sink);
}

}  // namespace quorlix
