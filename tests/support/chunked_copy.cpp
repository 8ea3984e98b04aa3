#include "support/chunked_copy.h"

#include <algorithm>
#include <vector>

#include "common/payload_layout.h"

namespace quorlix::test {

std::uint64_t CopyInChunks(File& source, std::uint64_t count, ProgressSink& sink,
                           const std::function<void(std::uint8_t* chunk, std::size_t size)>& use) {
    if (count == 0) {
        source.Seek(0);
        count = source.Size();
    }
    const auto bufferSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, kCopyChunkSize));
    std::vector<std::uint8_t> buffer(bufferSize);
    std::uint64_t remaining = count;
    while (remaining > 0) {
        if (sink.CancelRequested()) {
            break;
        }
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(bufferSize, remaining));
        source.ReadExactly(buffer.data(), size);
        use(buffer.data(), size);
        remaining -= size;
    }
    return count;
}

}  // namespace quorlix::test
