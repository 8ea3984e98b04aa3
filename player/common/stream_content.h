#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "common/byte_sink.h"
#include "common/byte_source.h"

namespace quorlix {

// The bytes of one compound file stream as pieces written in order: bytes held in memory and
// ranges of byte sources (open files), which are read in bounded chunks only while the stream is
// written.
class StreamContent {
public:
    void AppendBytes(std::vector<std::uint8_t> bytes);
    // The size bytes of the source from offset on; a source that cannot deliver them by the time
    // the stream is written throws what the source throws.
    void AppendSource(std::shared_ptr<ByteSource> source, std::uint64_t offset, std::uint64_t size);
    void Append(StreamContent&& other);

    std::uint64_t size() const { return size_; }

    void WriteTo(ByteSink& sink) const;

private:
    struct Piece {
        std::vector<std::uint8_t> bytes;
        std::shared_ptr<ByteSource> source;
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };
    static void CopySourcePiece(const Piece& piece, ByteSink& sink);

    std::vector<Piece> pieces_;
    std::uint64_t size_ = 0;
};

}  // namespace quorlix
