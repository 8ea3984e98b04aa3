#include "stub/dialog_answer.h"

#include <commdlg.h>
#include <dlgs.h>

#include "stub/player_log.h"

namespace quorlix {

namespace {

constexpr UINT kLookInterval = 50;
// Looks for which the dialog has been showing before it is answered, so that it has drawn
// itself for the snapshot.
constexpr int kSettleLooks = 4;
// The static control that holds a message box's text.
constexpr int kMessageBoxText = 0xFFFF;

DialogAnswer* g_answer = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[16];
    if (IsWindowVisible(window) && GetClassNameW(window, name, 16) > 0 &&
        lstrcmpW(name, L"#32770") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024];
    const int length = GetWindowTextW(window, text, 1024);
    std::wstring out(text, length > 0 ? length : 0);
    for (wchar_t& c : out) {
        if (c == L'\r' || c == L'\n') {
            c = L' ';
        }
    }
    return out;
}

// A file dialog's answer to one of its CDM_ questions.
std::wstring Ask(HWND dialog, UINT question) {
    wchar_t text[MAX_PATH];
    const LRESULT length = SendMessageW(dialog, question, MAX_PATH, reinterpret_cast<LPARAM>(text));
    return length > 0 ? std::wstring(text) : std::wstring();
}

void Describe(HWND dialog) {
    if (HWND text = GetDlgItem(dialog, kMessageBoxText)) {
        LogStep(L"dialog \"" + TextOf(dialog) + L"\" says: " + TextOf(text));
        return;
    }
    LogStep(L"dialog \"" + TextOf(dialog) + L"\" in " + Ask(dialog, CDM_GETFOLDERPATH) +
            L" with name " + Ask(dialog, CDM_GETSPEC));
}

}  // namespace

DialogAnswer::DialogAnswer(std::wstring snapshotName, ScriptedReply reply)
    : snapshotName_(std::move(snapshotName)), reply_(std::move(reply)) {
    g_answer = this;
    timer_ = SetTimer(nullptr, 0, kLookInterval, Tick);
}

DialogAnswer::~DialogAnswer() {
    if (timer_ != 0) {
        KillTimer(nullptr, timer_);
    }
    g_answer = nullptr;
}

void CALLBACK DialogAnswer::Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (g_answer != nullptr && dialog != nullptr && ++g_answer->seen_ >= kSettleLooks) {
        g_answer->Answer(dialog);
    }
}

void DialogAnswer::Answer(HWND dialog) {
    KillTimer(nullptr, timer_);
    timer_ = 0;
    Describe(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SnapshotScreen(snapshotName_);
    if (reply_.button == IDOK) {
        HWND nameBox = GetDlgItem(dialog, cmb13);
        SetWindowTextW(nameBox != nullptr ? nameBox : GetDlgItem(dialog, edt1),
                       reply_.fileName.c_str());
    }
    LogStep(L"dialog answered " + std::to_wstring(reply_.button));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(reply_.button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, reply_.button)));
}

}  // namespace quorlix
