#pragma once

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"

namespace quorlix {

// A block of a package entry's record as it will be written; a full 65,536-byte block of the
// zlib stream carries the source bytes taken in when it filled, which the writer reports.
struct CompressedBlock {
    std::vector<std::uint8_t> bytes;
    std::optional<std::uint64_t> takenIn;
};

// One package entry's record (size field, then the zlib stream with the package's settings)
// made a chunk of 61,440 source bytes at a time into blocks held in memory, so that any thread
// can make it and the writer puts the blocks out in entry order. The blocks are the bytes and
// reports of one zlib stream written through a 65,536-byte block for the same source.
class EntryDeflater {
public:
    // Opens the source and makes the size field's block. Throws std::system_error when the
    // source cannot be opened or is too large for a record.
    explicit EntryDeflater(const std::string& sourcePath);
    ~EntryDeflater();
    EntryDeflater(const EntryDeflater&) = delete;
    EntryDeflater& operator=(const EntryDeflater&) = delete;

    // Deflates the next chunk, or ends the stream after the last one, moving the finished blocks
    // to out; false once the stream has ended. Throws on a read or zlib error.
    bool Step(std::vector<CompressedBlock>& out);
    // The bytes of the record made so far (4 + zlib stream once ended).
    std::uint64_t recordLength() const { return recordLength_; }

private:
    void Deflate(int flush, std::vector<CompressedBlock>& out);
    void EndBlock(std::vector<CompressedBlock>& out, std::optional<std::uint64_t> takenIn);

    File source_;
    std::uint64_t remaining_ = 0;
    z_stream stream_{};
    std::vector<std::uint8_t> chunk_;
    std::vector<std::uint8_t> block_;
    std::vector<CompressedBlock> pending_;
    std::uint64_t recordLength_ = 0;
    bool ended_ = false;
};

}  // namespace quorlix
