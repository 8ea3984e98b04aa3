#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_source.h"
#include "common/compound_file_format.h"

namespace quorlix {

// A compound file that cannot be read: damaged, cut short or not a compound file at all.
class CompoundFileError : public std::runtime_error {
public:
    explicit CompoundFileError(const std::string& message) : std::runtime_error(message) {}
};

// One directory entry of a compound file.
struct CompoundEntry {
    std::u16string name;
    std::uint8_t type = cfb::kTypeUnused;
    std::uint8_t colour = cfb::kBlack;
    std::uint32_t left = cfb::kNoEntry;
    std::uint32_t right = cfb::kNoEntry;
    std::uint32_t child = cfb::kNoEntry;
    cfb::ClassId classId{};
    std::uint64_t modifiedTime = 0;
    std::uint32_t startSector = cfb::kEndOfChain;
    std::uint64_t size = 0;
};

// Receives a stream's bytes in chunks of at most 65,536.
using StreamSink = std::function<void(std::span<const std::uint8_t> chunk)>;

// Reads a compound file (MS-CFB version 3 or 4) through a byte source, which must outlive the
// reader. Only the directory, the FAT sector list and the mini stream are held in memory; the
// FAT and the streams are read as they are needed. Every sector chain, size and tree link is
// checked: damage throws CompoundFileError, never reads outside the bytes and never loops.
class CompoundFileReader {
public:
    using EntryId = std::uint32_t;
    static constexpr EntryId kRoot = 0;

    // Checks the header, the FAT sector list, the mini FAT and the directory.
    explicit CompoundFileReader(ByteSource& source);
    // The same over bytes in memory, which must outlive the reader.
    explicit CompoundFileReader(std::span<const std::uint8_t> bytes);
    ~CompoundFileReader();
    CompoundFileReader(const CompoundFileReader&) = delete;
    CompoundFileReader& operator=(const CompoundFileReader&) = delete;

    std::uint64_t fileSize() const { return size_; }
    const std::vector<CompoundEntry>& entries() const { return entries_; }
    const CompoundEntry& entry(EntryId id) const;

    // The children of a storage in the tree's own order (an in-order walk).
    std::vector<EntryId> Children(EntryId storage) const;
    // The child of that name, found by descending the storage's tree.
    std::optional<EntryId> Find(EntryId storage, std::u16string_view name) const;
    // The bytes of a stream.
    std::vector<std::uint8_t> ReadStream(EntryId stream) const;
    // Copies count bytes of a stream from offset on into the sink; the range must lie within the
    // stream, else CompoundFileError.
    void CopyStream(EntryId stream, std::uint64_t offset, std::uint64_t count,
                    const StreamSink& sink) const;
    // The bytes of that range in memory; meant for small ranges.
    std::vector<std::uint8_t> ReadStreamRange(EntryId stream, std::uint64_t offset,
                                              std::uint64_t count) const;

private:
    void ReadHeader();
    void ReadFatSectorList();
    void ReadDirectory();
    CompoundEntry ParseEntry(const std::uint8_t* e) const;
    void ReadMiniStream();
    std::uint32_t NextSector(std::uint32_t sector) const;
    void CopyChain(std::uint32_t start, std::uint64_t size, std::uint64_t offset,
                   std::uint64_t count, const StreamSink& sink) const;
    void CopyMiniChain(std::uint32_t start, std::uint64_t size, std::uint64_t offset,
                       std::uint64_t count, const StreamSink& sink) const;
    std::vector<std::uint8_t> ReadChain(std::uint32_t start, std::uint64_t size) const;
    std::uint64_t SectorOffset(std::uint32_t sector) const;
    void ReadSector(std::uint32_t sector, std::uint8_t* buffer) const;
    void CheckChild(EntryId id) const;

    std::unique_ptr<MemoryByteSource> ownedSource_;
    ByteSource& source_;
    std::uint64_t size_ = 0;
    std::uint32_t sectorShift_ = 9;
    std::size_t sectorSize_ = 512;
    std::uint32_t sectorCount_ = 0;
    std::uint32_t fatSectors_ = 0;
    std::uint32_t firstDirectorySector_ = 0;
    std::uint32_t firstMiniFatSector_ = 0;
    std::uint32_t miniFatSectors_ = 0;
    std::uint32_t firstDifatSector_ = 0;
    std::uint32_t difatSectors_ = 0;
    std::vector<std::uint32_t> fatSectorIds_;
    // The FAT sector read last: chains mostly follow each other through the same FAT sector.
    mutable std::vector<std::uint32_t> fatCache_;
    mutable std::uint32_t fatCacheIndex_ = cfb::kEndOfChain;
    std::vector<std::uint32_t> miniFat_;
    std::vector<CompoundEntry> entries_;
    std::vector<std::uint8_t> miniStream_;
};

}  // namespace quorlix
