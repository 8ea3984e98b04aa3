#include "stub/font_session.h"

#include <windows.h>

#include "stub/player_log.h"
#include "stub/staging_folder.h"
#include "stub/stub_error.h"

namespace quorlix {

namespace {

constexpr wchar_t kFontsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// How long the font change notice may take for a window that does not answer (ms).
constexpr UINT kNoticeTimeout = 1000;

bool RegisteredFont(const std::wstring& displayName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool found = RegQueryValueExW(key, displayName.c_str(), nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

bool InFontsFolder(const std::wstring& fileName) {
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    const std::wstring path = std::wstring(windows, length) + L"\\Fonts\\" + fileName;
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FileNameOf(const std::string& entry) {
    return AnsiToWide(entry.substr(entry.rfind('\\') + 1));
}

bool AlreadyInstalled(const EmbeddedFont& font) {
    if (RegisteredFont(AnsiToWide(font.displayName))) {
        return true;
    }
    for (const std::string& entry : font.entries) {
        if (!InFontsFolder(FileNameOf(entry))) {
            return false;
        }
    }
    return true;
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// For the step log: whether programs can now find the font's face.
void LogEnumerable(const EmbeddedFont& font) {
    if (!LoggingSteps()) {
        return;
    }
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = AnsiToWide(FaceOfDisplayName(font.displayName));
    lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    LogStep((found ? L"font enumerable " : L"font not enumerable ") + face);
}

void AnnounceFontChange() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kNoticeTimeout,
                        &result);
}

}  // namespace

FontSession::FontSession(const std::vector<EmbeddedFont>& fonts, const std::wstring& folder) {
    for (const EmbeddedFont& font : fonts) {
        const std::wstring name = AnsiToWide(font.displayName);
        if (AlreadyInstalled(font)) {
            LogStep(L"font installed already " + name);
            continue;
        }
        std::wstring resource;
        for (const std::string& entry : font.entries) {
            resource += (resource.empty() ? L"" : L"|") + OrdinaryPath(folder + AnsiToWide(entry));
        }
        if (AddFontResourceExW(resource.c_str(), 0, nullptr) == 0) {
            LogStep(L"font refused " + name);
            continue;
        }
        LogStep(L"AddFontResourceEx " + name);
        LogEnumerable(font);
        added_.push_back({name, resource});
    }
    if (!added_.empty()) {
        AnnounceFontChange();
    }
}

FontSession::~FontSession() {
    for (const Added& font : added_) {
        const bool removed = RemoveFontResourceExW(font.resource.c_str(), 0, nullptr) != 0;
        LogStep((removed ? L"RemoveFontResourceEx " : L"font not removed ") + font.name);
    }
    if (!added_.empty()) {
        AnnounceFontChange();
    }
}

}  // namespace quorlix
