#include "package/scrambled_section_sink.h"

#include <algorithm>
#include <cstring>

#include "common/payload_layout.h"
#include "common/scramble.h"
#include "platform/error.h"

namespace quorlix {

ScrambledSectionSink::ScrambledSectionSink(File& output, ProgressSink& sink)
    : output_(output), sink_(sink), chunk_(kCopyChunkSize) {}

void ScrambledSectionSink::Write(const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        if (filled_ == 0 && sink_.CancelRequested()) {
            throw Error("cancelled");
        }
        const std::size_t take = std::min(count, chunk_.size() - filled_);
        std::memcpy(chunk_.data() + filled_, data, take);
        filled_ += take;
        data += take;
        count -= take;
        if (filled_ == chunk_.size()) {
            PutChunk();
        }
    }
}

std::uint64_t ScrambledSectionSink::Finish() {
    if (filled_ > 0) {
        PutChunk();
    }
    return written_;
}

void ScrambledSectionSink::PutChunk() {
    ScrambleSectionBytes(chunk_.data(), filled_, written_);
    output_.WriteAll(chunk_.data(), filled_);
    written_ += filled_;
    const auto size = static_cast<std::uint32_t>(filled_);
    filled_ = 0;
    sink_.AddProgress(size);
}

}  // namespace quorlix
