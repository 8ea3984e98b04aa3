#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/resource_tree.h"

namespace quorlix {

// A pending change of an executable's resources (the stand-in for BeginUpdateResource and
// what follows it). Nothing reaches the disk before Commit; dropping the object discards it.
class ResourceUpdate {
public:
    // Reads the executable and all its resources; std::system_error when it cannot be read,
    // PeFormatError when it is damaged.
    static ResourceUpdate Begin(const std::string& exePath);

    // Adds a resource, or replaces the one with the same type, name and language.
    void Add(const ResourceName& type, const ResourceName& name, std::uint16_t language,
             std::span<const std::uint8_t> data);
    // Removes a resource; nothing happens when there is none.
    void Delete(const ResourceName& type, const ResourceName& name, std::uint16_t language);

    const ResourceTree& tree() const { return tree_; }

    // Writes the executable with the new resources beside the old one and renames it over it;
    // on failure the old file is untouched and the new one removed. Throws std::system_error
    // or PeFormatError.
    void Commit();

private:
    ResourceUpdate(std::string path, std::vector<std::uint8_t> file, ResourceTree tree)
        : path_(std::move(path)), file_(std::move(file)), tree_(std::move(tree)) {}

    std::string path_;
    std::vector<std::uint8_t> file_;
    ResourceTree tree_;
};

// Replaces a file by new contents atomically: a temporary file in the same folder with the old
// file's permissions, synced, then renamed over it; removed again on any failure.
void ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace quorlix
