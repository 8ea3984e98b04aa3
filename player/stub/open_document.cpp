#include "stub/open_document.h"

#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "common/release_watch.h"
#include "stub/message_wait.h"
#include "stub/path_parts.h"
#include "stub/staging_folder.h"
#include "stub/win_handle.h"

namespace quorlix {

namespace {

// How long, in seconds, the document is left for a program that the shell started without
// giving its process (DDE, an app activated by the system) to take it.
constexpr unsigned kGraceSeconds = 30;
// A program that exits sooner than this (ms) may have handed the document to another one,
// which then has these seconds to take it.
constexpr DWORD kHandOverTime = 10000;
constexpr unsigned kHandOverGraceSeconds = 5;
constexpr DWORD kLookInterval = 1000;

std::wstring ExtensionOf(const std::wstring& name) {
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

// Whether some program holds the document open: it cannot be opened exclusively.
bool IsHeld(const std::wstring& path) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

[[noreturn]] void ThrowOpenFailure(const std::wstring& path, DWORD error, INT_PTR code) {
    const std::wstring name = FileNameOfPath(path);
    if (error == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC) {
        const std::wstring extension = ExtensionOf(name);
        throw DocumentOpenError(L"The document \"" + name +
                                L"\" cannot be opened: no program on this computer opens " +
                                (extension.empty() ? L"such" : extension) +
                                L" files.\n\nInstall Microsoft Word (or another program for Word "
                                L"documents) and run this program again.");
    }
    throw DocumentOpenError(L"The document \"" + name + L"\" could not be opened (Windows error " +
                            std::to_wstring(error) + L").");
}

// Hands the document to the program registered for it; the program's process when the shell
// gives one (it may give none). Nothing when the user cancelled.
std::optional<UniqueHandle> Launch(const std::wstring& path) {
    const std::wstring file = OrdinaryPath(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    const ComApartment apartment;
    if (!ShellExecuteExW(&info)) {
        const DWORD error = GetLastError();
        if (error == ERROR_CANCELLED) {
            return std::nullopt;
        }
        ThrowOpenFailure(path, error, reinterpret_cast<INT_PTR>(info.hInstApp));
    }
    return UniqueHandle(info.hProcess);
}

}  // namespace

bool OpenDocumentAndWait(const std::wstring& path, DocumentWatcher& watcher) {
    const std::optional<UniqueHandle> process = Launch(path);
    if (!process) {
        return false;
    }
    watcher.Started(process->get());
    unsigned grace = kGraceSeconds;
    if (*process) {
        const DWORD start = GetTickCount();
        WaitHandlingMessages(process->get(), INFINITE);
        grace = GetTickCount() - start < kHandOverTime ? kHandOverGraceSeconds : 0;
    }
    ReleaseWatch watch(grace);
    while (!watch.Done(IsHeld(path))) {
        WaitHandlingMessages(nullptr, kLookInterval);
    }
    return true;
}

void OpenWebAddress(const std::wstring& address) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = address.c_str();
    info.nShow = SW_SHOWNORMAL;
    const ComApartment apartment;
    ShellExecuteExW(&info);
}

}  // namespace quorlix
