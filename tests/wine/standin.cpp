// A stand-in for the program that opens a document: shows a window, holds the document open,
// copies its bytes where the test asks, records what the player did to it (title, size, frame,
// watermark, fonts) in the player's step log, takes a snapshot of the screen and closes once
// the player is done with its window (and, when asked, a while after) or after a bounded time.
// When asked, it first plays a reader's input into itself and into a second program (copy,
// paste, right click, menu keys), recording what arrived, and changes the document before it
// lets it go, or kills the player that started it, or hands the document over to another copy
// of itself (started with --handed-over and the document) and exits, as a launcher handing a
// document to a program already running does: without a window, or after showing one while the
// other copy shows the document's name in its title before it opens the document. Started with
// --second-program it is that second program.
#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <memory>
#include <string>
#include <vector>

#include "standin_common.h"
#include "standin_script.h"
#include "stub/screen_snapshot.h"

namespace {

using standin::Record;
using standin::Variable;

constexpr wchar_t kClassName[] = L"QuorlixStandIn";
constexpr wchar_t kInitialTitle[] = L"Stand-in document program";
constexpr wchar_t kSecondProgramTitle[] = L"Second program";
constexpr UINT_PTR kLookTimer = 1;
constexpr UINT kLookInterval = 100;
constexpr UINT_PTR kScriptTimer = 2;
constexpr UINT kScriptInterval = 50;
constexpr DWORD kGiveUpAfter = 20000;
constexpr UINT_PTR kCloseTimer = 3;
constexpr UINT_PTR kHoldTimer = 4;
// How long the copy that was handed the document keeps it open (ms), and, after showing its
// window, waits before it opens it when the launcher showed a window too.
constexpr UINT kHandedOverStay = 1500;
constexpr UINT kLateHold = 800;
constexpr wchar_t kHandedOverArgument[] = L"--handed-over";

struct Run {
    bool secondProgram = false;
    bool handedOver = false;
    std::wstring document;
    HANDLE held = INVALID_HANDLE_VALUE;
    DWORD start = 0;
    std::unique_ptr<standin::InputScript> script;
};
Run g_run;

// The argument at `index` (1 for the first), quoted or not; empty when there is none.
std::wstring Argument(int index) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring argument = arguments != nullptr && count > index ? arguments[index] : L"";
    LocalFree(arguments);
    return argument;
}

// Starts another copy of this program with the document, which opens it in its place.
void HandOver(const std::wstring& document) {
    HANDLE copy = standin::StartCopy(std::wstring(kHandedOverArgument) + L" \"" + document + L"\"");
    if (copy != nullptr) {
        CloseHandle(copy);
        Record(L"handed over");
    }
}

// Opens the document without sharing (as a word processor holds it) and copies its bytes to
// QUORLIX_STANDIN_COPY.
void HoldDocument() {
    const bool change = !Variable(L"QUORLIX_STANDIN_CHANGE").empty();
    g_run.held = CreateFileW(g_run.document.c_str(), GENERIC_READ | (change ? GENERIC_WRITE : 0), 0,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (g_run.held == INVALID_HANDLE_VALUE) {
        Record(L"document not opened, error " + std::to_wstring(GetLastError()));
        return;
    }
    std::vector<char> bytes(static_cast<std::size_t>(GetFileSize(g_run.held, nullptr)));
    DWORD read = 0;
    ReadFile(g_run.held, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    Record(L"document held, " + std::to_wstring(read) + L" bytes");
    const std::wstring copy = Variable(L"QUORLIX_STANDIN_COPY");
    if (!copy.empty()) {
        HANDLE out = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(out, bytes.data(), read, &written, nullptr);
        CloseHandle(out);
    }
}

// Writes the bytes of the file QUORLIX_STANDIN_CHANGE names over the held document.
void ChangeDocument() {
    const std::wstring from = Variable(L"QUORLIX_STANDIN_CHANGE");
    if (from.empty() || g_run.held == INVALID_HANDLE_VALUE) {
        return;
    }
    HANDLE source = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> bytes(static_cast<std::size_t>(GetFileSize(source, nullptr)));
    DWORD read = 0;
    ReadFile(source, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(source);
    DWORD written = 0;
    SetFilePointer(g_run.held, 0, nullptr, FILE_BEGIN);
    const bool done = WriteFile(g_run.held, bytes.data(), read, &written, nullptr) &&
                      written == read && SetEndOfFile(g_run.held);
    Record(done ? L"document changed, " + std::to_wstring(written) + L" bytes"
                : L"document not changed, error " + std::to_wstring(GetLastError()));
}

int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontPresent(const std::wstring& face) {
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &font, CountFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

std::wstring Title(HWND window) {
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
    title.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return title;
}

// The process that started this one (the player, through the shell).
DWORD ParentProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) {
            parent = entry.th32ParentProcessID;
        }
    }
    CloseHandle(snapshot);
    return parent;
}

// Ends the player at once, as Task Manager or a crash would, while the document is open.
void KillPlayer() {
    HANDLE player = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ParentProcess());
    const bool killed = player != nullptr && TerminateProcess(player, 9) &&
                        WaitForSingleObject(player, 10000) == WAIT_OBJECT_0;
    if (player != nullptr) {
        CloseHandle(player);
    }
    Record(killed ? L"player killed" : L"player not killed");
}

std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top);
}

// The player is done with the window: its title is no longer ours and, when asked for, the
// watermark has been showing for two looks in a row (so it has been drawn).
bool PlayerDone(HWND window) {
    static int marked = 0;
    const bool wantMark = Variable(L"QUORLIX_STANDIN_EXPECT_WATERMARK") == L"1";
    HWND mark = FindWindowW(L"QuorlixWatermark", nullptr);
    marked = mark != nullptr && IsWindowVisible(mark) ? marked + 1 : 0;
    return Title(window) != kInitialTitle && (!wantMark || marked >= 2);
}

void RecordAndClose(HWND window) {
    Record(L"title " + Title(window));
    RECT outer;
    GetWindowRect(window, &outer);
    Record(L"window " + RectText(outer));
    Record(L"maximised " + std::to_wstring(IsZoomed(window) ? 1 : 0));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    Record(L"resizable frame " + std::to_wstring((style & WS_THICKFRAME) != 0 ? 1 : 0));
    if (HWND mark = FindWindowW(L"QuorlixWatermark", nullptr); mark != nullptr) {
        RECT rect;
        GetWindowRect(mark, &rect);
        Record(L"watermark " + RectText(rect) + L" visible " +
               std::to_wstring(IsWindowVisible(mark) ? 1 : 0) + L" topmost " +
               std::to_wstring((GetWindowLongW(mark, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? 1 : 0));
    }
    const std::wstring face = Variable(L"QUORLIX_STANDIN_FONT");
    if (!face.empty()) {
        Record(L"font " + face + (FontPresent(face) ? L" present" : L" absent"));
    }
    const std::wstring snapshots = Variable(L"QUORLIX_PLAYER_SNAPSHOTS");
    if (!snapshots.empty()) {
        quorlix::WriteScreenBitmap(snapshots + L"\\document.bmp");
    }
    ChangeDocument();
    Record(L"close");
    DestroyWindow(window);
}

// Once the player is done with the window (and the time asked for to stay has passed since):
// plays the reader's input first when asked, then records and closes.
void Look(HWND window) {
    static DWORD doneAt = 0;
    const bool done = PlayerDone(window);
    if (GetTickCount() - g_run.start <= kGiveUpAfter) {
        if (!done) {
            doneAt = 0;
            return;
        }
        doneAt = doneAt != 0 ? doneAt : GetTickCount();
        const DWORD stay = static_cast<DWORD>(_wtoi(Variable(L"QUORLIX_STANDIN_STAY_MS").c_str()));
        if (GetTickCount() - doneAt < stay) {
            return;
        }
    }
    KillTimer(window, kLookTimer);
    if (Variable(L"QUORLIX_STANDIN_KILL_PLAYER") == L"1") {
        KillPlayer();
    }
    if (Variable(L"QUORLIX_STANDIN_INPUT") == L"1") {
        g_run.script =
            std::make_unique<standin::InputScript>(standin::DocumentProgramSteps(window));
        SetTimer(window, kScriptTimer, kScriptInterval, nullptr);
    } else {
        RecordAndClose(window);
    }
}

void Play(HWND window) {
    if (!g_run.script->Advance()) {
        return;
    }
    KillTimer(window, kScriptTimer);
    if (g_run.secondProgram) {
        DestroyWindow(window);
    } else {
        RecordAndClose(window);
    }
}

// Copy and paste with the keyboard, the menu keys and the marker key.
void Key(HWND window, WPARAM key) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (control && key == 'C') {
        standin::CopyText(window, std::wstring(standin::g_role) + L" text");
        Record(L"copied");
    } else if (control && key == 'V') {
        Record(L"pasted " + standin::ClipboardText(window));
    } else if (key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0)) {
        Record(L"menu key " + std::to_wstring(key));
    } else if (key == standin::kMarkerKey) {
        Record(L"marker " + std::to_wstring(++standin::g_arrivals.markers));
    }
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const std::wstring text =
        g_run.secondProgram ? std::wstring(kSecondProgramTitle) : L"Document: " + g_run.document;
    DrawTextW(dc, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_TIMER:
            if (wParam == kLookTimer) {
                Look(window);
            } else if (wParam == kScriptTimer) {
                Play(window);
            } else if (wParam == kHoldTimer) {
                KillTimer(window, kHoldTimer);
                HoldDocument();
                SetTimer(window, kCloseTimer, kHandedOverStay, nullptr);
            } else if (wParam == kCloseTimer) {
                KillTimer(window, kCloseTimer);
                Record(L"close");
                DestroyWindow(window);
            }
            return 0;
        case WM_KEYDOWN:
            Key(window, wParam);
            break;
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            // F10 would enter the menu loop; a program of ours takes Shift+F10 as its menu key.
            if (wParam == VK_F10) {
                if (message == WM_SYSKEYDOWN) {
                    Key(window, wParam);
                }
                return 0;
            }
            break;
        case WM_RBUTTONDOWN:
            Record(L"right button down");
            return 0;
        case WM_RBUTTONUP:
            Record(L"right button up");
            break;
        case WM_CONTEXTMENU:
            Record(lParam == -1 ? L"context menu from the keyboard" : L"context menu");
            return 0;
        case WM_LBUTTONUP:
            ++standin::g_arrivals.leftClicks;
            Record(L"left click");
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(HINSTANCE instance, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    // The second program stays clear of the document program's window, centred by the player.
    const bool second = g_run.secondProgram;
    HWND window =
        CreateWindowExW(0, kClassName, second ? kSecondProgramTitle : kInitialTitle,
                        WS_OVERLAPPEDWINDOW, second ? 10 : 40, second ? 10 : 40, second ? 240 : 400,
                        second ? 160 : 300, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    return window;
}

}  // namespace

namespace {

// The title the copy handed the document gives its window: the document's file name first, as
// document programs do.
std::wstring HandedOverTitle(const std::wstring& document) {
    return document.substr(document.find_last_of(L'\\') + 1) + L" - Stand-in";
}

// Handles window messages for a while.
void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Shows a window, hands the document over and exits once the other copy's window is up.
int LaunchWithWindow(HINSTANCE instance, int show) {
    HWND window = MakeWindow(instance, show);
    PumpFor(500);
    HandOver(g_run.document);
    const std::wstring title = HandedOverTitle(g_run.document);
    for (int look = 0; look < 100 && FindWindowW(kClassName, title.c_str()) == nullptr; ++look) {
        PumpFor(100);
    }
    DestroyWindow(window);
    Record(L"launcher end");
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    g_run.start = GetTickCount();
    g_run.secondProgram = Argument(1) == standin::kSecondProgramArgument;
    g_run.handedOver = Argument(1) == kHandedOverArgument;
    const std::wstring handOver = Variable(L"QUORLIX_STANDIN_HAND_OVER");
    if (g_run.secondProgram) {
        standin::g_role = L"second";
        Record(L"start");
    } else {
        g_run.document = Argument(g_run.handedOver ? 2 : 1);
        Record((g_run.handedOver ? L"start handed over " : L"start ") + g_run.document);
        if (!g_run.handedOver && handOver == L"1") {
            HandOver(g_run.document);
            return 0;
        }
        if (!g_run.handedOver && handOver == L"window") {
            return LaunchWithWindow(instance, show);
        }
        if (!g_run.handedOver || handOver != L"window") {
            HoldDocument();
        }
    }
    HWND window = MakeWindow(instance, show);
    if (g_run.secondProgram) {
        g_run.script = std::make_unique<standin::InputScript>(standin::SecondProgramSteps(window));
        SetTimer(window, kScriptTimer, kScriptInterval, nullptr);
    } else if (g_run.handedOver && handOver == L"window") {
        SetWindowTextW(window, HandedOverTitle(g_run.document).c_str());
        SetTimer(window, kHoldTimer, kLateHold, nullptr);
    } else if (g_run.handedOver) {
        SetTimer(window, kCloseTimer, kHandedOverStay, nullptr);
    } else {
        SetTimer(window, kLookTimer, kLookInterval, nullptr);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (g_run.held != INVALID_HANDLE_VALUE) {
        CloseHandle(g_run.held);
    }
    Record(L"end");
    return 0;
}
