#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlix::test {

// A compound file read back the plain way for checking what our writer made: header fields,
// the FAT gathered through the header and the DIFAT sectors, the directory, streams by chain.
// Written apart from the product's reader; every inconsistency throws std::runtime_error.
class CfbImage {
public:
    // One directory entry as stored.
    struct Entry {
        std::u16string name;
        int type = 0;
        int colour = 0;
        std::uint32_t left = 0, right = 0, child = 0;
        std::string classId;
        std::uint64_t created = 0, modified = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    explicit CfbImage(std::string bytes);

    std::uint16_t U16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::uint32_t SectorCount() const {
        return static_cast<std::uint32_t>(bytes_.size() / 512 - 1);
    }

    const std::vector<std::uint32_t>& fat() const { return fat_; }
    const std::vector<std::uint32_t>& fatSectorIds() const { return fatIds_; }
    const std::vector<std::uint32_t>& difatSectorIds() const { return difatIds_; }
    const std::vector<Entry>& entries() const { return entries_; }

    // The sectors of a FAT chain in order, checked to end with end of chain.
    std::vector<std::uint32_t> Chain(std::uint32_t start) const;
    std::string Stream(const Entry& entry) const;
    // Whether the stream's bytes live in the mini stream.
    static bool InMiniStream(const Entry& entry) { return entry.size < 4096; }

    // Finds a child of a storage by descending its tree in the format's name order; -1 if none.
    int Descend(const Entry& storage, const std::u16string& name) const;

private:
    std::string bytes_;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> fatIds_;
    std::vector<std::uint32_t> difatIds_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<Entry> entries_;
    std::string miniStream_;
};

}  // namespace quorlix::test
