#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/byte_source.h"

namespace quorlix {

// A run of bytes in the output executable: [offset, offset + size).
struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;

    std::uint64_t end() const { return offset + size; }
};

// One file in the package, as the directory and the record name it.
struct PackageEntry {
    std::string name;                // as stored: ANSI text with '\' between folders
    std::uint64_t offset = 0;        // file position of the record (its size field)
    std::uint32_t recordLength = 0;  // 4 + the length of the zlib stream
    std::uint32_t size = 0;          // the uncompressed size the record claims
};

// Where the parts of an output executable lie; every range lies inside the file.
struct PayloadLayout {
    std::uint64_t fileSize = 0;
    std::uint64_t endMarker = 0;        // M: start of the 256 bytes 0x0E
    ByteRange stub;                     // [0, S - T)
    ByteRange document;                 // the document section, D bytes, scrambled as stored
    ByteRange package;                  // [S, E): entries, directory, L, signature
    ByteRange directory;                // the package directory text, L bytes
    std::vector<PackageEntry> entries;  // in directory order
};

// Receives bytes in chunks of at most 65,536; it may throw to stop the copy.
using ChunkSink = std::function<void(std::span<const std::uint8_t> chunk)>;

// The end marker's position: scanning the last 100,001 bytes backward, the first run of at least
// 256 bytes 0x0E found, and the marker is the last 256 bytes of that run (so package trailer
// bytes of 0x0E just before the marker do not move it). Throws PayloadError when there is none.
std::uint64_t FindEndMarker(ByteSource& source);

// Reads an output executable through a byte source: locates and checks its layout at once and
// then streams its parts. Every length is checked against the file before it is used, so no
// read leaves the file; faults throw PayloadError, failures of the source what the source throws.
class PayloadReader {
public:
    enum class DocumentForm { Scrambled, Unscrambled };

    // Finds the end marker, checks the package trailer, signature, directory length, directory,
    // record lengths (their sum fixes the package start S, which must agree with the package
    // trailer), the document trailer and each record's size field. The source must outlive the
    // reader.
    explicit PayloadReader(ByteSource& source);

    const PayloadLayout& layout() const { return layout_; }
    // The source the reader reads.
    ByteSource& source() const { return source_; }

    // Copies the player stub's bytes, [0, S - T).
    void CopyStub(const ChunkSink& sink) const;
    // Copies the package, its trailer and the end marker as stored, [S, M + 256).
    void CopyPackageAndEnd(const ChunkSink& sink) const;
    // Copies the document section as stored or with the scrambling removed.
    void CopyDocument(DocumentForm form, const ChunkSink& sink) const;
    // Inflates entry `index` into the sink. Throws PayloadError when its stream is damaged,
    // does not end exactly at the record's end, or inflates to other than its size; the sink may
    // have received bytes by then, so a caller writing a file discards it on an error.
    void InflateEntry(std::size_t index, const ChunkSink& sink) const;
    // Entry `index` inflated whole into memory; meant for small entries.
    std::vector<std::uint8_t> EntryBytes(std::size_t index) const;

private:
    ByteSource& source_;
    PayloadLayout layout_;
};

}  // namespace quorlix
