#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorlix {

inline constexpr unsigned kResourceDirectoryIndex = 2;
inline constexpr unsigned kCertificateDirectoryIndex = 4;
inline constexpr unsigned kBaseRelocationDirectoryIndex = 5;
inline constexpr std::uint32_t kSectionInitializedData = 0x00000040;
inline constexpr std::uint32_t kSectionDiscardable = 0x02000000;

// One entry of a PE section table.
struct PeSection {
    std::string name;
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t sizeOfRawData = 0;
    std::uint32_t pointerToRawData = 0;
    std::uint32_t characteristics = 0;
    std::size_t headerOffset = 0;  // file offset of its 40-byte header

    // The virtual size as the loader maps it: the raw size when the virtual size is 0.
    std::uint32_t MappedSize() const { return virtualSize != 0 ? virtualSize : sizeOfRawData; }
};

// The address and size held by one data directory entry.
struct PeDataDirectory {
    std::uint32_t virtualAddress = 0;
    std::uint32_t size = 0;
};

// The headers and section table of a PE32 or PE32+ file; every range was checked against the file.
struct PeHeaders {
    bool is64 = false;
    std::size_t coffHeaderOffset = 0;
    std::size_t optionalHeaderOffset = 0;
    std::uint32_t pointerToSymbolTable = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint32_t sizeOfInitializedData = 0;
    std::uint32_t dataDirectoryCount = 0;  // the entries that exist, at most 16
    std::vector<PeSection> sections;

    // Field offsets in the file.
    std::size_t SizeOfInitializedDataOffset() const { return optionalHeaderOffset + 8; }
    std::size_t SizeOfImageOffset() const { return optionalHeaderOffset + 56; }
    std::size_t CheckSumOffset() const { return optionalHeaderOffset + 64; }
    std::size_t DataDirectoryOffset(unsigned index) const;

    // The entry, or zeros when the file has no such entry.
    PeDataDirectory DataDirectory(std::span<const std::uint8_t> file, unsigned index) const;
    // The index of the section whose mapped range holds rva, if any.
    std::optional<std::size_t> SectionIndexOf(std::uint32_t rva) const;
    // The file offset of [rva, rva + size) when all of it lies in one section's raw data.
    std::optional<std::uint64_t> FileOffsetOf(std::uint32_t rva, std::uint32_t size) const;
};

// Reads the headers of a PE file; throws PeFormatError when they run past the file or do not fit.
PeHeaders ParsePeHeaders(std::span<const std::uint8_t> file);

// The PE header checksum of a file: 16-bit one's-complement sum of its words, the CheckSum
// field skipped, plus the file length.
std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::size_t checkSumOffset);

// The PE header checksum summed over a file's bytes given in any order, each run with its file
// position (a byte at an even position is the low byte of its word); every byte but the CheckSum
// field's is to be given once.
class PeChecksumSum {
public:
    void Add(std::uint64_t position, std::span<const std::uint8_t> bytes);
    // The checksum of a file of that length.
    std::uint32_t Finish(std::uint64_t fileLength) const;

private:
    std::uint64_t sum_ = 0;
};

// value rounded up to a multiple of alignment (which is not 0).
std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment);

}  // namespace quorlix
