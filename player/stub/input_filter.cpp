#include "stub/input_filter.h"

#include <string>

#include "stub/document_window.h"
#include "stub/player_log.h"

namespace quorlix {

namespace {

// What the hook procedures read; set before the hooks go in, read on the hook thread only.
DWORD g_processId = 0;
InputLocks g_locks;
RightButtonRule g_rightButton;

bool Down(int key) {
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

Modifiers CurrentModifiers() {
    return {Down(VK_CONTROL), Down(VK_SHIFT), Down(VK_MENU)};
}

std::wstring Hex(DWORD value) {
    wchar_t text[16];
    wsprintfW(text, L"%02X", value);
    return text;
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        const bool focus = ProcessOfWindow(GetForegroundWindow()) == g_processId;
        if (HoldsBackKey(g_locks, key->vkCode, CurrentModifiers(), focus)) {
            const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
            LogStep(L"held back key " + Hex(key->vkCode) + (down ? L" down" : L" up"));
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP)) {
        const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        const bool over = ProcessOfWindow(WindowFromPoint(mouse->pt)) == g_processId;
        const bool down = message == WM_RBUTTONDOWN;
        if (down ? g_rightButton.HoldsBackPress(over) : g_rightButton.HoldsBackRelease(over)) {
            LogStep(
                std::wstring(down ? L"held back right button down" : L"held back right button up") +
                L" at " + std::to_wstring(mouse->pt.x) + L"," + std::to_wstring(mouse->pt.y));
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

}  // namespace

InputFilter::InputFilter(DWORD processId, const InputLocks& locks) {
    if (!locks.contextMenu && !locks.copyPaste) {
        return;
    }
    g_processId = processId;
    g_locks = locks;
    g_rightButton = RightButtonRule();
    thread_ = std::make_unique<MessageThread>([this] { return Hook(); }, [this] { Unhook(); });
}

InputFilter::~InputFilter() {
    thread_.reset();
}

bool InputFilter::Hook() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    keyboard_ = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, instance, 0);
    if (keyboard_ == nullptr) {
        LogStep(L"keyboard hook refused, error " + std::to_wstring(GetLastError()));
        return false;
    }
    if (g_locks.contextMenu) {
        mouse_ = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, instance, 0);
        if (mouse_ == nullptr) {
            LogStep(L"mouse hook refused, error " + std::to_wstring(GetLastError()));
            UnhookWindowsHookEx(keyboard_);
            return false;
        }
    }
    return true;
}

void InputFilter::Unhook() {
    if (mouse_ != nullptr) {
        UnhookWindowsHookEx(mouse_);
    }
    UnhookWindowsHookEx(keyboard_);
}

}  // namespace quorlix
