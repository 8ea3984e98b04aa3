#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quorlix {

// One file of a package: read from its path while the package is written, or bytes already made
// in memory (an option file). The path names it in errors and gives its entry name when none is
// given; for bytes it is only such a name.
struct PackageSource {
    std::string path;
    std::shared_ptr<const std::string> bytes;  // set: these are the file's bytes

    // A file read from its path.
    PackageSource(std::string filePath) : path(std::move(filePath)) {}
    // Bytes made in memory, known by name.
    static PackageSource FromBytes(std::string name, std::string bytes);

    // The size as the staged size and the progress count it: for a file, FileSizeOf now (-1 when
    // it is missing); for bytes, their number.
    std::int32_t SizeAsFound() const;
};

}  // namespace quorlix
