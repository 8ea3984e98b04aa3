#pragma once

#include <cstdint>
#include <vector>

#include "common/byte_sink.h"
#include "package/progress_sink.h"
#include "platform/file.h"

namespace quorlix {

// Appends what is written to it to an output as the document section: scrambled, in chunks of
// 61,440 bytes counted from the section's first byte. Before a chunk takes its first byte it
// reads the cancel flag (a cancel throws quorlix::Error "cancelled", nothing more is written);
// after a chunk is written it reports AddProgress with the chunk's size.
class ScrambledSectionSink final : public ByteSink {
public:
    ScrambledSectionSink(File& output, ProgressSink& sink);

    void Write(const std::uint8_t* data, std::size_t count) override;
    // Writes the last, shorter chunk; returns the section's length.
    std::uint64_t Finish();

private:
    void PutChunk();

    File& output_;
    ProgressSink& sink_;
    std::vector<std::uint8_t> chunk_;
    std::size_t filled_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace quorlix
