#pragma once

#include <string>
#include <vector>

#include "stub/run_folders.h"

namespace quorlix {

// A path in its ordinary form, without the \\?\ prefix: programs handed a path (and some
// system calls) may not know the long form.
std::wstring OrdinaryPath(const std::wstring& path);

// A fresh private folder under the user's temporary folder, removed with everything in it when
// the object goes; its owner mark tells later runs that it is in use meanwhile.
class StagingFolder {
public:
    StagingFolder();
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The folder's path with a trailing '\' (in the \\?\ form, so long names work).
    const std::wstring& path() const { return path_; }
    // Creates the folders of `parts` (all but the last) below the folder and returns the full
    // path of the file that the last part names.
    std::wstring PrepareFile(const std::vector<std::wstring>& parts) const;

private:
    std::wstring path_;
    OwnerMark mark_;
};

}  // namespace quorlix
