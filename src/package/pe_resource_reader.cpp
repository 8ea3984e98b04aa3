#include "package/pe_resource_reader.h"

#include <set>

#include "common/byte_order.h"
#include "package/pe_format_error.h"
#include "package/resource_tree.h"
#include "platform/file.h"

namespace quorlix {

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        throw PeFormatError(std::string("damaged resource tree: ") + what);
    }
}

// Walks the three levels of a resource tree held in one block of bytes, checking every offset.
class TreeWalker {
public:
    TreeWalker(std::span<const std::uint8_t> tree, std::vector<ResourceEntry>& out)
        : tree_(tree), out_(out) {}

    void Walk() { WalkDirectory(0, 0, {}); }

private:
    void WalkDirectory(std::uint32_t offset, int level, ResourceEntry path);
    ResourceName ReadName(std::uint32_t field) const;
    void ReadDataEntry(std::uint32_t offset, ResourceEntry& entry) const;

    bool Fits(std::uint64_t offset, std::uint64_t size) const {
        return offset <= tree_.size() && size <= tree_.size() - offset;
    }

    std::span<const std::uint8_t> tree_;
    std::vector<ResourceEntry>& out_;
    std::set<std::uint32_t> directoriesSeen_;
    std::uint64_t entriesSeen_ = 0;
};

void TreeWalker::WalkDirectory(std::uint32_t offset, int level, ResourceEntry path) {
    Require(directoriesSeen_.insert(offset).second, "a directory is used twice");
    Require(Fits(offset, kResourceDirectorySize), "directory past the end");
    const std::uint8_t* dir = tree_.data() + offset;
    const std::uint32_t count = std::uint32_t{GetLE16(dir + 12)} + GetLE16(dir + 14);
    Require(Fits(offset + kResourceDirectorySize, std::uint64_t{count} * kResourceEntrySize),
            "directory entries past the end");
    // Well-formed entries never overlap, so a tree cannot hold more entries than it has room for.
    entriesSeen_ += count;
    Require(entriesSeen_ * kResourceEntrySize <= tree_.size(), "more entries than the tree holds");
    std::set<ResourceName> keys;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = dir + kResourceDirectorySize + i * kResourceEntrySize;
        const ResourceName key = ReadName(GetLE32(entry));
        Require(keys.insert(key).second, "the same key twice in one table");
        const std::uint32_t target = GetLE32(entry + 4);
        const bool isDirectory = (target & kResourceHighBit) != 0;
        Require(isDirectory == (level < 2), "a table of the wrong kind");
        ResourceEntry next = path;
        if (level == 0) {
            next.type = key;
        } else if (level == 1) {
            next.name = key;
        } else {
            Require(key.isId(), "a language given by name");
            next.language = key.id();
        }
        if (isDirectory) {
            WalkDirectory(target & ~kResourceHighBit, level + 1, next);
        } else {
            ReadDataEntry(target, next);
            out_.push_back(next);
        }
    }
}

ResourceName TreeWalker::ReadName(std::uint32_t field) const {
    if ((field & kResourceHighBit) == 0) {
        return ResourceName::Id(static_cast<std::uint16_t>(field));
    }
    const std::uint32_t offset = field & ~kResourceHighBit;
    Require(Fits(offset, 2), "name past the end");
    const std::uint16_t length = GetLE16(tree_.data() + offset);
    Require(Fits(offset + 2, std::uint64_t{length} * 2), "name past the end");
    std::u16string units(length, u'\0');
    for (std::uint16_t i = 0; i < length; ++i) {
        units[i] = GetLE16(tree_.data() + offset + 2 + 2 * i);
    }
    return ResourceName::Named(units);
}

void TreeWalker::ReadDataEntry(std::uint32_t offset, ResourceEntry& entry) const {
    Require(Fits(offset, kResourceDataEntrySize), "data entry past the end");
    const std::uint8_t* p = tree_.data() + offset;
    entry.dataRva = GetLE32(p);
    entry.size = GetLE32(p + 4);
    entry.codePage = GetLE32(p + 8);
}

}  // namespace

PeResourceReader PeResourceReader::Load(const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    return PeResourceReader(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

PeResourceReader::PeResourceReader(std::vector<std::uint8_t> file)
    : file_(std::move(file)), headers_(ParsePeHeaders(file_)) {
    const PeDataDirectory directory = headers_.DataDirectory(file_, kResourceDirectoryIndex);
    if (directory.virtualAddress == 0) {
        return;
    }
    const std::optional<std::size_t> index = headers_.SectionIndexOf(directory.virtualAddress);
    Require(index.has_value(), "resource directory outside every section");
    const PeSection& section = headers_.sections[*index];
    const std::uint64_t inSection = directory.virtualAddress - section.virtualAddress;
    Require(inSection < section.sizeOfRawData, "resource directory outside the file");
    const std::span<const std::uint8_t> tree(file_.data() + section.pointerToRawData + inSection,
                                             section.sizeOfRawData - inSection);
    TreeWalker(tree, entries_).Walk();
}

bool PeResourceReader::HasType(const ResourceName& type) const {
    for (const ResourceEntry& e : entries_) {
        if (e.type == type) {
            return true;
        }
    }
    return false;
}

std::vector<std::uint16_t> PeResourceReader::Languages(const ResourceName& type,
                                                       const ResourceName& name) const {
    std::vector<std::uint16_t> languages;
    for (const ResourceEntry& e : entries_) {
        if (e.type == type && e.name == name) {
            languages.push_back(e.language);
        }
    }
    return languages;
}

const ResourceEntry* PeResourceReader::Find(const ResourceName& type, const ResourceName& name,
                                            std::uint16_t language) const {
    for (const ResourceEntry& e : entries_) {
        if (e.type == type && e.name == name && e.language == language) {
            return &e;
        }
    }
    return nullptr;
}

const ResourceEntry* PeResourceReader::Find(const ResourceName& type,
                                            const ResourceName& name) const {
    if (const ResourceEntry* neutral = Find(type, name, 0)) {
        return neutral;
    }
    for (const ResourceEntry& e : entries_) {
        if (e.type == type && e.name == name) {
            return &e;
        }
    }
    return nullptr;
}

std::span<const std::uint8_t> PeResourceReader::Data(const ResourceEntry& entry) const {
    const std::optional<std::uint64_t> offset = headers_.FileOffsetOf(entry.dataRva, entry.size);
    if (!offset) {
        throw PeFormatError("damaged resource tree: resource data outside the file");
    }
    return std::span<const std::uint8_t>(file_).subspan(*offset, entry.size);
}

}  // namespace quorlix
