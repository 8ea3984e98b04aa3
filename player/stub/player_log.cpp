#include "stub/player_log.h"

#include <windows.h>

#include <optional>

#include "stub/screen_snapshot.h"
#include "stub/stub_error.h"

namespace quorlix {

std::optional<std::wstring> TestSetting(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    value.resize(length);
    return value;
}

namespace {

const std::optional<std::wstring>& LogPath() {
    static const std::optional<std::wstring> path = TestSetting(L"QUORLIX_PLAYER_LOG");
    return path;
}

}  // namespace

bool LoggingSteps() {
    return LogPath().has_value();
}

void LogStep(const std::wstring& text) {
    if (!LogPath()) {
        return;
    }
    const std::string line =
        std::to_string(GetTickCount()) + " player " + WideToUtf8(text) + "\r\n";
    HANDLE file =
        CreateFileW(LogPath()->c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void SnapshotScreen(const std::wstring& name) {
    static const std::optional<std::wstring> folder = TestSetting(L"QUORLIX_PLAYER_SNAPSHOTS");
    if (!folder) {
        return;
    }
    // Waiting for messages (without taking any) lets the window system put what was just drawn
    // on the screen before it is captured; a window shown a moment ago may not be there yet.
    for (int i = 0; i < 5; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Sleep(10);
    }
    const std::wstring path = *folder + L"\\" + name + L".bmp";
    LogStep(WriteScreenBitmap(path) ? L"snapshot " + name : L"snapshot failed " + name);
}

}  // namespace quorlix
