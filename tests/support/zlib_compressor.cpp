#include "support/zlib_compressor.h"

#include <algorithm>
#include <climits>
#include <new>

#include "common/payload_layout.h"
#include "platform/error.h"

namespace quorlix::test {

namespace {

[[noreturn]] void ThrowZlibError(const z_stream& stream, int code) {
    if (code == Z_MEM_ERROR) {
        throw std::bad_alloc();
    }
    const std::string detail = stream.msg != nullptr ? stream.msg : "code " + std::to_string(code);
    throw Error("Compression failed: " + detail);
}

}  // namespace

ZlibCompressor::ZlibCompressor(File& output, ProgressSink& sink)
    : output_(output), sink_(sink), block_(new std::uint8_t[kCompressorBlockSize]) {
    const int rc =
        deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (rc != Z_OK) {
        ThrowZlibError(stream_, rc);
    }
    stream_.next_out = block_.get();
    stream_.avail_out = kCompressorBlockSize;
}

ZlibCompressor::~ZlibCompressor() {
    deflateEnd(&stream_);
}

void ZlibCompressor::Write(const void* buffer, std::size_t count) {
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    while (count > 0) {
        const std::size_t piece = std::min<std::size_t>(count, UINT_MAX);
        stream_.next_in = const_cast<Bytef*>(p);
        stream_.avail_in = static_cast<uInt>(piece);
        Deflate(Z_NO_FLUSH);
        p += piece;
        count -= piece;
    }
}

void ZlibCompressor::Finish() {
    if (finished_) {
        return;
    }
    stream_.next_in = nullptr;
    stream_.avail_in = 0;
    Deflate(Z_FINISH);
    finished_ = true;
}

void ZlibCompressor::Deflate(int flush) {
    for (;;) {
        const int rc = deflate(&stream_, flush);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            ThrowZlibError(stream_, rc);
        }
        if (stream_.avail_out == 0) {
            WriteBlock(kCompressorBlockSize);
            sink_.ShowStreamProgress(stream_.total_in);
            continue;
        }
        if (rc == Z_STREAM_END) {
            WriteBlock(kCompressorBlockSize - stream_.avail_out);
            return;
        }
        if (flush == Z_NO_FLUSH && stream_.avail_in == 0) {
            return;
        }
        if (rc == Z_BUF_ERROR) {
            ThrowZlibError(stream_, rc);
        }
    }
}

void ZlibCompressor::WriteBlock(std::size_t count) {
    output_.WriteAll(block_.get(), count);
    stream_.next_out = block_.get();
    stream_.avail_out = kCompressorBlockSize;
}

}  // namespace quorlix::test
