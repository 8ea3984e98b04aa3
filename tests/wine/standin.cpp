// A stand-in for the program that opens a document: shows a window, holds the document open,
// copies its bytes where the test asks, records what the player did to it (title, size, frame,
// watermark, fonts) in the player's step log, takes a snapshot of the screen and closes once
// the player is done with its window or after a bounded time.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "stub/screen_snapshot.h"

namespace {

constexpr wchar_t kClassName[] = L"QuorlixStandIn";
constexpr wchar_t kInitialTitle[] = L"Stand-in document program";
constexpr UINT_PTR kLookTimer = 1;
constexpr UINT kLookInterval = 100;
constexpr DWORD kGiveUpAfter = 20000;

struct Run {
    std::wstring document;
    HANDLE held = INVALID_HANDLE_VALUE;
    DWORD start = 0;
};
Run g_run;

std::wstring Variable(const wchar_t* name) {
    wchar_t buffer[2048];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
    return length > 0 && length < 2048 ? std::wstring(buffer, length) : std::wstring();
}

std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                            length, nullptr, nullptr);
    }
    return out;
}

void Record(const std::wstring& text) {
    const std::wstring path = Variable(L"QUORLIX_PLAYER_LOG");
    if (path.empty()) {
        return;
    }
    const std::string line = std::to_string(GetTickCount()) + " standin " + Utf8(text) + "\r\n";
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
}

// The document path from the command line: the first argument, quoted or not.
std::wstring DocumentArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring document = arguments != nullptr && count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    return document;
}

// Opens the document without sharing (as a word processor holds it) and copies its bytes to
// QUORLIX_STANDIN_COPY.
void HoldDocument() {
    g_run.held = CreateFileW(g_run.document.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
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
    wchar_t buffer[512];
    const int length = GetWindowTextW(window, buffer, 512);
    return std::wstring(buffer, length > 0 ? length : 0);
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
    Record(L"close");
    DestroyWindow(window);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const std::wstring text = L"Document: " + g_run.document;
    DrawTextW(dc, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_TIMER:
            if (PlayerDone(window) || GetTickCount() - g_run.start > kGiveUpAfter) {
                KillTimer(window, kLookTimer);
                RecordAndClose(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    g_run.start = GetTickCount();
    g_run.document = DocumentArgument();
    Record(L"start " + g_run.document);
    HoldDocument();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, kClassName, kInitialTitle, WS_OVERLAPPEDWINDOW, 40, 40, 400,
                                  300, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    SetTimer(window, kLookTimer, kLookInterval, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CloseHandle(g_run.held);
    Record(L"end");
    return 0;
}
