#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "package/progress_sink.h"
#include "platform/file.h"
#include "support/output_stream.h"

namespace quorlix::test {

// A zlib stream (default level, window bits 15, memory level 8) appended to a file at its current
// position through one 65,536-byte output block; reports each full block to the progress sink.
class ZlibCompressor : public OutputStream {
public:
    // Both must outlive the compressor.
    ZlibCompressor(File& output, ProgressSink& sink);
    ~ZlibCompressor() override;
    ZlibCompressor(const ZlibCompressor&) = delete;
    ZlibCompressor& operator=(const ZlibCompressor&) = delete;

    void Write(const void* buffer, std::size_t count) override;
    // Ends the stream: all pending output and the Adler-32 trailer go to the file.
    void Finish();

private:
    // Runs deflate until it wants more input (or, with Z_FINISH, until the stream ends).
    void Deflate(int flush);
    void WriteBlock(std::size_t count);

    File& output_;
    ProgressSink& sink_;
    z_stream stream_{};
    std::unique_ptr<std::uint8_t[]> block_;
    bool finished_ = false;
};

}  // namespace quorlix::test
