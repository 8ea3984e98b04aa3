#include "stub/folder_tree.h"

#include <vector>

namespace quorlix {

namespace {

// Deletes the files of one folder (given with its trailing '\\') and adds its sub-folders to
// `pending`; links are removed, never followed.
void DeleteFilesOf(const std::wstring& folder, std::vector<std::wstring>& pending) {
    WIN32_FIND_DATAW data;
    const FindHandle find(folder + L"*", data);
    if (!find) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        const std::wstring path = folder + name;
        const DWORD attributes = data.dwFileAttributes;
        if (name == L"." || name == L"..") {
            continue;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            // A link's attributes would be set on its target: only our own files are made writable.
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            }
            DeleteFileW(path.c_str());
        } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            RemoveDirectoryW(path.c_str());
        } else {
            pending.push_back(path + L"\\");
        }
    } while (find.Next(data));
}

}  // namespace

void DeleteTree(const std::wstring& root) {
    std::vector<std::wstring> pending = {root};
    std::vector<std::wstring> emptied;
    while (!pending.empty()) {
        emptied.push_back(std::move(pending.back()));
        pending.pop_back();
        DeleteFilesOf(emptied.back(), pending);
    }
    // Every folder comes after its parent in `emptied`: remove them last first.
    for (auto it = emptied.rbegin(); it != emptied.rend(); ++it) {
        RemoveDirectoryW(it->substr(0, it->size() - 1).c_str());
    }
}

}  // namespace quorlix
