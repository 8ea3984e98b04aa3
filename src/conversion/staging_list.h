#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/package_source.h"

namespace quorlix {

// What goes into the package, from where and under which name, in package order, with the
// running staged size in bytes.
class StagingList {
public:
    explicit StagingList(std::int32_t initialSize) : stagedSize_(initialSize) {}

    // Adds a row for a file and its size as FileSizeOf finds it now (-1 for a missing file).
    void Add(const std::string& sourcePath, const std::string& entryName);
    // Adds a row for bytes made in memory (an option file, known by its file name) and their size.
    void AddBytes(const std::string& fileName, std::string bytes, const std::string& entryName);

    const std::vector<PackageSource>& sources() const { return sources_; }
    const std::vector<std::string>& names() const { return names_; }
    // A signed 32-bit sum that wraps as the platform's would.
    std::int32_t stagedSize() const { return stagedSize_; }

private:
    void AddRow(PackageSource source, const std::string& entryName);

    std::vector<PackageSource> sources_;
    std::vector<std::string> names_;
    std::int32_t stagedSize_;
};

}  // namespace quorlix
