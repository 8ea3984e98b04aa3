#include "support/staged_copy_bytes.h"

#include "common/byte_sink.h"

namespace quorlix::test {

namespace {

// Gathers what is written to it.
class StringSink final : public ByteSink {
public:
    void Write(const std::uint8_t* data, std::size_t count) override {
        bytes.append(reinterpret_cast<const char*>(data), count);
    }
    std::string bytes;
};

}  // namespace

std::string StagedCopyBytes(const StagedCopy& stagedCopy) {
    StringSink sink;
    stagedCopy.WriteTo(sink);
    return sink.bytes;
}

std::string StagedCopyBytesOf(const std::string& documentPath) {
    return StagedCopyBytes(*StageDocument(documentPath));
}

}  // namespace quorlix::test
