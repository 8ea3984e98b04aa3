#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "package/resource_name.h"

namespace quorlix {

// Record sizes of a resource section, and the flag that marks a name or a sub-directory.
inline constexpr std::uint32_t kResourceHighBit = 0x80000000u;
inline constexpr std::size_t kResourceDirectorySize = 16;
inline constexpr std::size_t kResourceEntrySize = 8;
inline constexpr std::size_t kResourceDataEntrySize = 16;

// The bytes of one resource and the code page its data entry names.
struct ResourceBlob {
    std::vector<std::uint8_t> bytes;
    std::uint32_t codePage = 0;
};

// A whole resource tree, type → name → language, kept in the order the file's tables need.
using ResourceLanguages = std::map<std::uint16_t, ResourceBlob>;
using ResourceNames = std::map<ResourceName, ResourceLanguages>;
using ResourceTree = std::map<ResourceName, ResourceNames>;

// The bytes of a resource section holding the tree, laid out for loading at sectionRva:
// every directory level breadth-first, the data entries, the name strings, then the data,
// each resource aligned to 8 bytes. Throws PeFormatError when the tree is too large.
std::vector<std::uint8_t> BuildResourceSection(const ResourceTree& tree, std::uint32_t sectionRva);

}  // namespace quorlix
