#include "stub/reader_message.h"

#include "stub/player_log.h"

namespace quorlix {

namespace {

constexpr wchar_t kTitle[] = L"Dorvane Quorlix";
constexpr UINT kLookInterval = 200;
constexpr wchar_t kMessageBoxClass[] = L"#32770";

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && lstrcmpW(name, kMessageBoxClass) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the message box's own loop: once the box is there, captures and closes it.
void CALLBACK CaptureAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    SnapshotScreen(L"message");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

bool CapturingMessages() {
    return GetEnvironmentVariableW(L"QUORLIX_PLAYER_SNAPSHOTS", nullptr, 0) != 0;
}

}  // namespace

void ShowReaderMessage(const std::wstring& text, UINT icon) {
    LogStep(L"message " + text);
    if (CapturingMessages()) {
        SetTimer(nullptr, 0, kLookInterval, CaptureAndClose);
    }
    MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK | icon);
}

}  // namespace quorlix
