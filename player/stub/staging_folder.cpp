#include "stub/staging_folder.h"

#include <windows.h>

#include "stub/stub_error.h"

namespace quorlix {

namespace {

constexpr int kNameAttempts = 100;

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

std::wstring TempPath() {
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

std::wstring Hex(unsigned long long value) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

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
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            RemoveDirectoryW(path.c_str());
        } else {
            pending.push_back(path + L"\\");
        }
    } while (find.Next(data));
}

// Deletes a folder (given with its trailing '\\') and everything in it, without recursion, so
// however deep the entry names go the stack does not.
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

}  // namespace

std::wstring OrdinaryPath(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        return L"\\\\" + path.substr(8);
    }
    return path.starts_with(L"\\\\?\\") ? path.substr(4) : path;
}

StagingFolder::StagingFolder() {
    const std::wstring temp = TempPath();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const std::wstring stem = temp + L"quorlix-" + Hex(GetCurrentProcessId()) + L"-" +
                              Hex(static_cast<unsigned long long>(counter.QuadPart));
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::wstring candidate = stem + L"-" + Hex(static_cast<unsigned>(attempt));
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate + L"\\";
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    ThrowLastError(L"Cannot create a folder in " + temp);
}

StagingFolder::~StagingFolder() {
    DeleteTree(path_);
}

std::wstring StagingFolder::PrepareFile(const std::vector<std::wstring>& parts) const {
    std::wstring path = path_;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        path += parts[i];
        if (!CreateDirectoryW(path.c_str(), nullptr)) {
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES ||
                (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                ThrowLastError(L"Cannot create the folder " + path);
            }
        }
        path += L'\\';
    }
    return path + parts.back();
}

}  // namespace quorlix
