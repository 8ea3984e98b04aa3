#pragma once

#include <string>

#include "platform/file.h"

namespace quorlix {

// A file written under a hidden temporary name beside its final path and renamed over that path
// at Commit, so the final path holds either the old bytes or the whole new ones; the temporary
// file is removed when the object goes uncommitted.
class ReplacementFile {
public:
    // Creates the temporary file; suffix ends its name (".tmp", ".part").
    ReplacementFile(const std::string& finalPath, const std::string& suffix);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    File& file() { return file_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

    // Closes the file (after an fsync when asked) and renames it over the final path.
    void Commit(bool sync);

private:
    std::string finalPath_;
    std::string temporaryPath_;
    File file_;
    bool committed_ = false;
};

}  // namespace quorlix
