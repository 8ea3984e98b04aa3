#pragma once

#include <optional>
#include <string>

#include "platform/owner_record.h"

namespace quorlix {

// A folder that lives as long as the object: made with all missing parents on construction,
// deleted with everything in it on destruction. When its name holds a GUID (every per-run
// folder's does), an owner record names it so that a later run removes it if this process dies.
class RunFolder {
public:
    // Makes the folder; throws std::system_error when it cannot, quorlix::Error when something
    // is already there (a folder that is not ours is never taken over and deleted).
    explicit RunFolder(std::string path);
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // The folder's path, without a trailing '/'.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::optional<OwnerRecord> owner_;
};

// A new per-run folder path: TempFolderPath() + "dorvane/" + NewGuidText(). Throws
// quorlix::Error when no GUID can be made.
std::string NewRunFolderPath();

}  // namespace quorlix
