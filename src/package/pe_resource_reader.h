#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/pe_headers.h"
#include "package/resource_name.h"

namespace quorlix {

// One resource of an executable's resource tree, with where its data is as the tree says.
struct ResourceEntry {
    ResourceName type;
    ResourceName name;
    std::uint16_t language = 0;
    std::uint32_t dataRva = 0;
    std::uint32_t size = 0;
    std::uint32_t codePage = 0;
};

// An executable's resources read from its bytes: the stand-in for a module loaded as a data file.
// Construction checks the headers and the whole tree; Data checks each resource's range.
class PeResourceReader {
public:
    // Reads and parses a file; std::system_error when it cannot be read, PeFormatError when
    // it is damaged.
    static PeResourceReader Load(const std::string& path);
    explicit PeResourceReader(std::vector<std::uint8_t> file);

    // Every resource, in the order of the file's tables (type, then name, then language).
    const std::vector<ResourceEntry>& entries() const { return entries_; }
    const PeHeaders& headers() const { return headers_; }
    std::span<const std::uint8_t> file() const { return file_; }

    bool HasType(const ResourceName& type) const;
    // The languages of one type and name, in table order.
    std::vector<std::uint16_t> Languages(const ResourceName& type, const ResourceName& name) const;
    const ResourceEntry* Find(const ResourceName& type, const ResourceName& name,
                              std::uint16_t language) const;
    // The language-neutral instance if there is one, else the first in table order.
    const ResourceEntry* Find(const ResourceName& type, const ResourceName& name) const;
    // The resource's bytes; PeFormatError when they do not lie in the file.
    std::span<const std::uint8_t> Data(const ResourceEntry& entry) const;

private:
    std::vector<std::uint8_t> file_;
    PeHeaders headers_;
    std::vector<ResourceEntry> entries_;
};

}  // namespace quorlix
