#include "stub/clipboard_guard.h"

#include <string>

#include "stub/document_window.h"
#include "stub/player_log.h"

namespace quorlix {

namespace {

constexpr wchar_t kClassName[] = L"QuorlixClipboardGuard";
constexpr UINT_PTR kRetryTimer = 1;
// While the copying program still holds the clipboard open, emptying is tried again this often
// (ms), at most this many times.
constexpr UINT kRetryInterval = 10;
constexpr int kMaxRetries = 200;

DWORD g_processId = 0;
int g_retries = 0;

// The process whose data is on the clipboard: its owner's, or the one in front for data put
// there without an owner window.
DWORD ClipboardProcess() {
    const HWND owner = GetClipboardOwner();
    return owner != nullptr ? ProcessOfWindow(owner) : ProcessOfWindow(GetForegroundWindow());
}

bool Empty(HWND window) {
    if (!OpenClipboard(window)) {
        return false;
    }
    EmptyClipboard();
    CloseClipboard();
    return true;
}

// Looks at the clipboard after a change: empties it when the document program put its data
// there, and tries again a moment later while that program still holds it open.
void Consider(HWND window) {
    KillTimer(window, kRetryTimer);
    const DWORD process = ClipboardProcess();
    if (process == GetCurrentProcessId()) {
        return;
    }
    if (process != g_processId) {
        LogStep(L"clipboard kept: another program's");
        return;
    }
    if (Empty(window)) {
        LogStep(L"clipboard emptied: the document program's");
    } else if (g_retries++ < kMaxRetries) {
        SetTimer(window, kRetryTimer, kRetryInterval, nullptr);
    } else {
        LogStep(L"clipboard not emptied: it stays open, error " + std::to_wstring(GetLastError()));
    }
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLIPBOARDUPDATE:
            g_retries = 0;
            Consider(window);
            return 0;
        case WM_TIMER:
            Consider(window);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

ClipboardGuard::ClipboardGuard(DWORD processId) {
    g_processId = processId;
    thread_ =
        std::make_unique<MessageThread>([this] { return Listen(); }, [this] { StopListening(); });
}

ClipboardGuard::~ClipboardGuard() {
    thread_.reset();
}

bool ClipboardGuard::Listen() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              nullptr);
    if (window_ == nullptr || !AddClipboardFormatListener(window_)) {
        LogStep(L"clipboard listener refused, error " + std::to_wstring(GetLastError()));
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
        return false;
    }
    return true;
}

void ClipboardGuard::StopListening() {
    RemoveClipboardFormatListener(window_);
    DestroyWindow(window_);
}

}  // namespace quorlix
