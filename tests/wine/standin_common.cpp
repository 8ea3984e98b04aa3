#include "standin_common.h"

#include <string>

namespace standin {

const wchar_t* g_role = L"standin";

namespace {

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

}  // namespace

std::wstring Variable(const wchar_t* name) {
    wchar_t buffer[2048];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
    return length > 0 && length < 2048 ? std::wstring(buffer, length) : std::wstring();
}

void Record(const std::wstring& text) {
    const std::wstring path = Variable(L"QUORLIX_PLAYER_LOG");
    if (path.empty()) {
        return;
    }
    const std::string line =
        std::to_string(GetTickCount()) + " " + Utf8(g_role) + " " + Utf8(text) + "\r\n";
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
}

int PlayerLogCount(const std::wstring& text) {
    const std::wstring path = Variable(L"QUORLIX_PLAYER_LOG");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    std::string content(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    const std::string wanted = " player " + Utf8(text);
    int count = 0;
    for (std::size_t at = content.find(wanted); at != std::string::npos;
         at = content.find(wanted, at + 1)) {
        ++count;
    }
    return count;
}

HANDLE StartCopy(const std::wstring& arguments) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(path) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Record(L"copy not started, error " + std::to_wstring(GetLastError()));
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

std::wstring ClipboardText(HWND window) {
    std::wstring text;
    if (!OpenClipboard(window)) {
        return L"(clipboard busy)";
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void CopyText(HWND window, const std::wstring& text) {
    if (!OpenClipboard(window)) {
        Record(L"clipboard not opened");
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        CopyMemory(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
    }
    CloseClipboard();
}

}  // namespace standin
