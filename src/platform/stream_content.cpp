#include "platform/stream_content.h"

#include <algorithm>

namespace quorlix {

namespace {
constexpr std::size_t kFileChunkSize = 65536;
}  // namespace

void StreamContent::AppendBytes(std::vector<std::uint8_t> bytes) {
    size_ += bytes.size();
    Piece piece;
    piece.bytes = std::move(bytes);
    pieces_.push_back(std::move(piece));
}

void StreamContent::AppendFile(File file, std::uint64_t offset, std::uint64_t size) {
    size_ += size;
    Piece piece;
    piece.file = std::make_shared<File>(std::move(file));
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
        if (piece.file) {
            CopyFilePiece(piece, sink);
        } else if (!piece.bytes.empty()) {
            sink.Write(piece.bytes.data(), piece.bytes.size());
        }
    }
}

void StreamContent::CopyFilePiece(const Piece& piece, ByteSink& sink) {
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(kFileChunkSize, piece.size)));
    piece.file->Seek(piece.offset);
    std::uint64_t left = piece.size;
    while (left > 0) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        piece.file->ReadExactly(buffer.data(), count);
        sink.Write(buffer.data(), count);
        left -= count;
    }
}

}  // namespace quorlix
