#include "platform/file_sink.h"

namespace quorlix {

namespace {
constexpr std::size_t kBufferSize = 65536;
}  // namespace

FileSink::FileSink(File& file) : file_(file) {
    buffer_.reserve(kBufferSize);
}

void FileSink::Write(const std::uint8_t* data, std::size_t count) {
    if (buffer_.size() + count > kBufferSize) {
        Flush();
    }
    // Whole blocks go straight to the file; only small pieces are gathered.
    if (count >= kBufferSize) {
        file_.WriteAll(data, count);
        return;
    }
    buffer_.insert(buffer_.end(), data, data + count);
}

void FileSink::Flush() {
    if (!buffer_.empty()) {
        file_.WriteAll(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
}

}  // namespace quorlix
