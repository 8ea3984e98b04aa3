#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/byte_sink.h"
#include "platform/file.h"

namespace quorlix {

// The bytes of one compound file stream as pieces written in order: bytes held in memory and
// ranges of open files, which are read in bounded chunks only while the stream is written.
class StreamContent {
public:
    void AppendBytes(std::vector<std::uint8_t> bytes);
    // The size bytes of the file from offset on; a file that has become shorter by the time it
    // is written is an error (std::system_error, EIO).
    void AppendFile(File file, std::uint64_t offset, std::uint64_t size);
    void Append(StreamContent&& other);

    std::uint64_t size() const { return size_; }

    void WriteTo(ByteSink& sink) const;

private:
    struct Piece {
        std::vector<std::uint8_t> bytes;
        std::shared_ptr<File> file;
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };
    static void CopyFilePiece(const Piece& piece, ByteSink& sink);

    std::vector<Piece> pieces_;
    std::uint64_t size_ = 0;
};

}  // namespace quorlix
