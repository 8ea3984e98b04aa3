#include "platform/file_sink.h"

#include <algorithm>

namespace quorlix {

namespace {
constexpr std::size_t kBufferSize = 65536;
}  // namespace

FileSink::FileSink(File& file) : file_(file) {
    buffer_.reserve(kBufferSize);
}

void FileSink::Write(const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        const std::size_t take = std::min(count, kBufferSize - buffer_.size());
        buffer_.insert(buffer_.end(), data, data + take);
        data += take;
        count -= take;
        if (buffer_.size() == kBufferSize) {
            Flush();
        }
    }
}

void FileSink::Flush() {
    if (!buffer_.empty()) {
        file_.WriteAll(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
}

}  // namespace quorlix
