#include "stub/staging_folder.h"

#include <windows.h>

#include "common/run_folder_name.h"
#include "stub/folder_tree.h"
#include "stub/stub_error.h"

namespace quorlix {

namespace {

constexpr int kNameAttempts = 100;

std::wstring Hex(unsigned long long value) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

}  // namespace

std::wstring OrdinaryPath(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        return L"\\\\" + path.substr(8);
    }
    return path.starts_with(L"\\\\?\\") ? path.substr(4) : path;
}

StagingFolder::StagingFolder() {
    const std::wstring temp = TempFolderPath();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const std::wstring stem = temp + std::wstring(kRunFolderPrefix) + Hex(GetCurrentProcessId()) +
                              L"-" + Hex(static_cast<unsigned long long>(counter.QuadPart));
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::wstring candidate = stem + L"-" + Hex(static_cast<unsigned>(attempt));
        // The mark comes first, so that no other run ever sees the folder without its owner.
        OwnerMark mark(candidate);
        if (!mark) {
            continue;
        }
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate + L"\\";
            mark_ = std::move(mark);
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
