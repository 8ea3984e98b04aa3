#include "stub/run_folders.h"

#include <windows.h>

#include "common/run_folder_name.h"
#include "stub/folder_tree.h"
#include "stub/player_log.h"
#include "stub/stub_error.h"

namespace quorlix {

namespace {

// A fully qualified path in the \\?\ form, which lifts the MAX_PATH limit.
std::wstring ExtendedPath(const std::wstring& path) {
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD used =
        length != 0 ? GetFullPathNameW(path.c_str(), length, full.data(), nullptr) : 0;
    if (used == 0 || used >= length) {
        ThrowLastError(L"Cannot find the temporary folder " + path);
    }
    full.resize(used);
    if (full.starts_with(L"\\\\?\\")) {
        return full;
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

enum class Owner { Alive, Gone, None };

// Takes over the mark of a run whose owner is gone: the handle deletes it when closed. Alive
// when its owner still holds it (or it cannot be opened for another reason).
Owner ClaimMark(const std::wstring& mark, UniqueHandle& claimed) {
    claimed = UniqueHandle(CreateFileW(mark.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                       nullptr));
    if (claimed) {
        return Owner::Gone;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? Owner::None : Owner::Alive;
}

bool IsPlainFolder(const WIN32_FIND_DATAW& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// A run folder, or a mark left without its folder, whose owner is gone goes.
void RemoveIfAbandoned(const std::wstring& temp, const WIN32_FIND_DATAW& data) {
    const std::wstring name = data.cFileName;
    const bool folder = IsPlainFolder(data) && IsRunFolderName(name);
    const std::wstring_view markOf = RunFolderOfMark(name);
    if (!folder && (markOf.empty() || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
        return;
    }
    const std::wstring stem = folder ? name : std::wstring(markOf);
    UniqueHandle claimed;
    if (ClaimMark(temp + stem + std::wstring(kOwnerMarkSuffix), claimed) == Owner::Alive) {
        return;
    }
    if (folder) {
        DeleteTree(temp + stem + L"\\");
        LogStep(L"run folder removed: " + stem);
    }
}

}  // namespace

std::wstring TempFolderPath() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD length = GetTempPathW(MAX_PATH + 2, buffer);
    if (length == 0 || length > MAX_PATH + 1) {
        ThrowLastError(L"Cannot find the temporary folder");
    }
    std::wstring path(buffer, length);
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return ExtendedPath(path);
}

OwnerMark::OwnerMark(const std::wstring& folder)
    : handle_(CreateFileW((folder + std::wstring(kOwnerMarkSuffix)).c_str(), GENERIC_WRITE | DELETE,
                          0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                          nullptr)) {}

void RemoveAbandonedRunFolders() {
    const std::wstring temp = TempFolderPath();
    WIN32_FIND_DATAW data;
    const FindHandle find(temp + std::wstring(kRunFolderPrefix) + L"*", data);
    if (!find) {
        return;
    }
    do {
        RemoveIfAbandoned(temp, data);
    } while (find.Next(data));
}

}  // namespace quorlix
