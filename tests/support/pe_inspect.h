#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlix::test {

// A section header as the file holds it.
struct SectionInfo {
    std::string name;
    std::uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0, flags = 0;
};

// The PE header fields the tests check, read directly from the bytes.
struct PeInfo {
    bool pe32Plus = false;
    std::size_t optionalHeader = 0;
    std::size_t checkSumOffset = 0;
    std::uint32_t fileAlignment = 0, sectionAlignment = 0, sizeOfImage = 0;
    std::uint32_t sizeOfInitializedData = 0, sizeOfHeaders = 0, checkSum = 0;
    std::vector<std::uint32_t> directoryRva, directorySize;
    std::vector<SectionInfo> sections;
};

// One resource as a plain walk of the tree finds it; type and name as "#3" or "MAINICON".
struct FoundResource {
    std::string type, name;
    std::uint16_t language = 0;
    std::uint32_t dataRva = 0, codePage = 0;
    std::string data;
};

std::uint16_t Le16(const std::string& bytes, std::size_t at);
std::uint32_t Le32(const std::string& bytes, std::size_t at);
void PutLe16(std::string& bytes, std::size_t at, std::uint16_t value);
void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value);

PeInfo ReadPeInfo(const std::string& file);
// The resources in the order of the file's tables.
std::vector<FoundResource> WalkResources(const std::string& file);
// The header checksum computed word by word.
std::uint32_t ComputeCheckSum(const std::string& file, std::size_t checkSumOffset);
// Problems with the headers' consistency (alignment, order, overlap, sizes, checksum); empty
// when there are none.
std::vector<std::string> HeaderProblems(const std::string& file);
// The index of the section holding the resource directory.
std::size_t ResourceSectionIndex(const PeInfo& info);

// The file with a section appended after its last one (data placed after the last section's
// raw data, any overlay after it), optionally named by a data directory entry.
std::string AppendSection(const std::string& file, const std::string& name, const std::string& data,
                          std::uint32_t flags, int directoryIndex);
// The bytes before and after the resource section's raw data, with the header fields that a
// resource rewrite changes (sizes, checksum, resource directory size) zeroed.
std::string BytesOutsideResources(const std::string& file);
// A PE32 or PE32+ file of headers and one resource section with an empty resource tree.
std::string MakeMinimalPe(bool pe32Plus);

}  // namespace quorlix::test
