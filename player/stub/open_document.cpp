#include "stub/open_document.h"

#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "common/release_watch.h"
#include "stub/document_program.h"
#include "stub/document_window.h"
#include "stub/message_wait.h"
#include "stub/path_parts.h"
#include "stub/player_log.h"
#include "stub/staging_folder.h"
#include "stub/win_handle.h"

namespace quorlix {

namespace {

// How often (ms) the player looks whether the document is held.
constexpr DWORD kLookInterval = 200;
// Looks (30 s) left for a program that the shell started without giving its process (DDE, an
// app activated by the system) to take the document.
constexpr unsigned kGraceLooks = 150;
// Looks (5 s) left for another program to take the document from one that exited without ever
// showing a window: it may have handed the document over.
constexpr unsigned kHandOverGraceLooks = 25;

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
    LogStep(L"fault: opening " + path + L" failed, Windows error " + std::to_wstring(error) +
            L", shell code " + std::to_wstring(code));
    if (error == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC) {
        throw DocumentOpenError(NoProgramMessage(ExtensionOfName(FileNameOfPath(path))));
    }
    throw DocumentOpenError(L"The document could not be opened; please try again.");
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
    const bool showedWindow = watcher.Started(process->get());
    unsigned grace = kGraceLooks;
    if (*process) {
        WaitHandlingMessages(process->get(), INFINITE);
        // A program that showed its window has closed the document when it exits, unless it is
        // still held or another program's window bears its name; one that never showed a
        // window may have handed it over.
        const bool elsewhere =
            AnotherProgramShows(FileNameOfPath(path), GetProcessId(process->get()));
        grace = showedWindow && !elsewhere ? 0 : kHandOverGraceLooks;
        LogStep(!showedWindow ? L"document program ended without a window: looking for another"
                : elsewhere   ? L"document program ended, another shows the document"
                              : L"document program ended");
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
