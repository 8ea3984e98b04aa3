#include "stub/document_window.h"

#include <string>

#include "stub/message_wait.h"
#include "stub/player_log.h"
#include "stub/stub_error.h"

namespace quorlix {

namespace {

constexpr DWORD kLookInterval = 100;

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK ConsiderWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (ProcessOfWindow(window) != search->processId || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != nullptr ||
        (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindMainWindow(DWORD processId) {
    Search search{processId, nullptr};
    EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The whole title, however long.
std::wstring WindowTitle(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, title.data(), length + 1);
    title.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return title;
}

std::wstring Lower(std::wstring text) {
    if (!text.empty()) {
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

struct TitleSearch {
    std::wstring name;  // the file name, in lower case
    std::wstring stem;  // the same without its extension
    DWORD exceptProcess;
    bool found;
};

BOOL CALLBACK ConsiderTitle(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<TitleSearch*>(lParam);
    const DWORD process = ProcessOfWindow(window);
    if (process == GetCurrentProcessId() || process == search->exceptProcess ||
        !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr) {
        return TRUE;
    }
    const std::wstring title = Lower(WindowTitle(window));
    search->found = title.starts_with(search->stem) || title.ends_with(search->stem) ||
                    title.ends_with(search->name);
    return search->found ? FALSE : TRUE;
}

void Resize(HWND window, int width, int height) {
    if (IsZoomed(window) || IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(window, nullptr, x > work.left ? x : work.left, y > work.top ? y : work.top, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    LogStep(L"window size " + std::to_wstring(width) + L"x" + std::to_wstring(height));
}

}  // namespace

DWORD ProcessOfWindow(HWND window) {
    DWORD processId = 0;
    if (window != nullptr) {
        GetWindowThreadProcessId(window, &processId);
    }
    return processId;
}

bool AnotherProgramShows(const std::wstring& fileName, DWORD exceptProcess) {
    const std::wstring name = Lower(fileName);
    const std::size_t dot = name.rfind(L'.');
    TitleSearch search{name, name.substr(0, dot), exceptProcess, false};
    if (search.stem.empty()) {
        return false;
    }
    EnumWindows(ConsiderTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForMainWindow(HANDLE process, DWORD milliseconds) {
    const DWORD processId = GetProcessId(process);
    const DWORD start = GetTickCount();
    while (true) {
        if (HWND window = FindMainWindow(processId)) {
            return window;
        }
        if (GetTickCount() - start >= milliseconds ||
            WaitHandlingMessages(process, kLookInterval)) {
            return nullptr;
        }
    }
}

void ApplyWindowOptions(HWND window, const WindowOptions& options) {
    if (options.fixedFrame) {
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        SetWindowLongW(window, GWL_STYLE, style & ~(WS_THICKFRAME | WS_MAXIMIZEBOX));
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        LogStep(L"window fixed frame");
    }
    if (options.maximised) {
        ShowWindow(window, SW_MAXIMIZE);
        LogStep(L"window maximised");
    } else if (options.width && options.height) {
        Resize(window, *options.width, *options.height);
    }
    KeepWindowTitle(window, options);
}

void KeepWindowTitle(HWND window, const WindowOptions& options) {
    if (options.title.empty()) {
        return;
    }
    const std::wstring title = AnsiToWide(options.title);
    if (WindowTitle(window) != title) {
        SetWindowTextW(window, title.c_str());
        LogStep(L"window title " + title);
    }
}

}  // namespace quorlix
