#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlix {

// What goes into the package, from where and under which name, in package order, with the
// running staged size in bytes.
class StagingList {
public:
    explicit StagingList(std::int32_t initialSize) : stagedSize_(initialSize) {}

    // Adds a row and its size as FileSizeOf finds it now (-1 for a missing file).
    void Add(const std::string& sourcePath, const std::string& entryName);

    const std::vector<std::string>& sources() const { return sources_; }
    const std::vector<std::string>& names() const { return names_; }
    // A signed 32-bit sum that wraps as the platform's would.
    std::int32_t stagedSize() const { return stagedSize_; }

private:
    std::vector<std::string> sources_;
    std::vector<std::string> names_;
    std::int32_t stagedSize_;
};

}  // namespace quorlix
