#include "common/scrambling_sink.h"

#include <algorithm>

#include "common/payload_layout.h"
#include "common/scramble.h"

namespace quorlix {

void ScramblingSink::Write(const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        const std::size_t take = std::min(count, kCopyChunkSize);
        buffer_.assign(data, data + take);
        ScrambleSectionBytes(buffer_.data(), take, written_);
        target_.Write(buffer_.data(), take);
        written_ += take;
        data += take;
        count -= take;
    }
}

}  // namespace quorlix
