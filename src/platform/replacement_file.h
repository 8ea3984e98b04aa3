#pragma once

#include <optional>
#include <string>

#include "platform/file.h"
#include "platform/owner_record.h"

namespace quorlix {

// A file written under a hidden temporary name of our own beside its final path (created new,
// never through a link, with an owner record so that a later run removes it if this process
// dies) and renamed over that path at Commit, so the final path holds either the old bytes or
// the whole new ones; the temporary file is removed when the object goes uncommitted. Its name
// fits wherever the final name fits, and the errors of its file name the final path.
class ReplacementFile {
public:
    // Creates the temporary file; suffix ends its name (".tmp", ".part").
    ReplacementFile(const std::string& finalPath, const std::string& suffix);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // The open temporary file; only until ReleaseFile.
    File& file() { return *file_; }
    const std::string& temporaryPath() const { return temporaryPath_; }
    const std::string& finalPath() const { return finalPath_; }

    // Closes the temporary file so that other steps open it by its path.
    void ReleaseFile();
    // Opens the temporary file again for reading and writing, held exclusively, in place of any
    // open one; file() is it.
    void ReopenFile();

    // Closes the file (after an fsync when asked) and renames it over the final path. A final
    // path that another holder has open exclusively, or that is a folder, is not replaced
    // (std::system_error).
    void Commit(bool sync);

private:
    std::string finalPath_;
    std::string temporaryPath_;
    OwnerRecord owner_;
    std::optional<File> file_;
    bool committed_ = false;
};

// Throws std::system_error when something at path cannot be replaced: a folder (EISDIR) or a
// file another holder has open exclusively (EBUSY). Returns the file held exclusively so that
// it stays so until the caller has replaced it; none when nothing regular is there.
std::optional<File> HoldForReplacement(const std::string& path);

}  // namespace quorlix
