#include "common/stream_content.h"

#include <algorithm>

namespace quorlix {

namespace {
constexpr std::size_t kSourceChunkSize = 65536;
}  // namespace

void StreamContent::AppendBytes(std::vector<std::uint8_t> bytes) {
    size_ += bytes.size();
    Piece piece;
    piece.bytes = std::move(bytes);
    pieces_.push_back(std::move(piece));
}

void StreamContent::AppendSource(std::shared_ptr<ByteSource> source, std::uint64_t offset,
                                 std::uint64_t size) {
    size_ += size;
    Piece piece;
    piece.source = std::move(source);
    piece.offset = offset;
    piece.size = size;
    pieces_.push_back(std::move(piece));
}

void StreamContent::Append(StreamContent&& other) {
    for (Piece& piece : other.pieces_) {
        pieces_.push_back(std::move(piece));
    }
    size_ += other.size_;
    other.pieces_.clear();
    other.size_ = 0;
}

void StreamContent::WriteTo(ByteSink& sink) const {
    for (const Piece& piece : pieces_) {
        if (piece.source) {
            CopySourcePiece(piece, sink);
        } else if (!piece.bytes.empty()) {
            sink.Write(piece.bytes.data(), piece.bytes.size());
        }
    }
}

void StreamContent::CopySourcePiece(const Piece& piece, ByteSink& sink) {
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(kSourceChunkSize, piece.size)));
    for (std::uint64_t done = 0; done < piece.size;) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(piece.size - done, buffer.size()));
        piece.source->ReadAt(piece.offset + done, buffer.data(), count);
        sink.Write(buffer.data(), count);
        done += count;
    }
}

}  // namespace quorlix
