#pragma once

#include <windows.h>

#include <string>

namespace quorlix {

// A directory search handle, closed when the object goes.
class FindHandle {
public:
    FindHandle(const std::wstring& pattern, WIN32_FIND_DATAW& data)
        : handle_(FindFirstFileW(pattern.c_str(), &data)) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& data) const { return FindNextFileW(handle_, &data) != 0; }

private:
    HANDLE handle_;
};

// Deletes a folder (given with its trailing '\') and everything in it, as far as it can; links
// inside are removed, never followed. Without recursion, so however deep the folders go the
// stack does not.
void DeleteTree(const std::wstring& root);

}  // namespace quorlix
