#pragma once

#include <string>

#include "stub/win_handle.h"

namespace quorlix {

// The user's temporary folder with a trailing '\', in the \\?\ form so long names work.
std::wstring TempFolderPath();

// The owner mark of a run folder: a file beside it, `folder` + ".owner", held open without
// sharing while the run lives and deleted when it is let go, even when the process is killed.
class OwnerMark {
public:
    OwnerMark() = default;
    // Empty when the mark cannot be made (it exists already, say).
    explicit OwnerMark(const std::wstring& folder);

    explicit operator bool() const { return static_cast<bool>(handle_); }

private:
    UniqueHandle handle_;
};

// Removes the run folders (and their marks) in the temporary folder whose owner is gone: those
// without a mark, or with a mark that nobody holds. A folder whose mark is held, or cannot be
// looked at, stays; links are never followed.
void RemoveAbandonedRunFolders();

}  // namespace quorlix
