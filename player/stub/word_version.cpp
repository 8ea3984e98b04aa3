#include "stub/word_version.h"

#include <windows.h>

#include "common/presentation_options.h"

namespace quorlix {

namespace {

std::wstring WordName(int version) {
    switch (version) {
        case 9:
            return L"Word 2000";
        case 10:
            return L"Word XP";
        case 11:
            return L"Word 2003";
        case 12:
            return L"Word 2007";
        case 14:
            return L"Word 2010";
        case 15:
            return L"Word 2013";
        case 16:
            return L"Word 2016";
        default:
            return L"Word version " + std::to_wstring(version);
    }
}

}  // namespace

std::optional<int> InstalledWordVersion() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Word.Application\\CurVer", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    char value[128] = {};
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return WordVersionFromCurVer(std::string(value, strnlen(value, size)));
}

std::wstring WordTooOldMessage(int required, int installed) {
    return L"This document needs " + WordName(required) + L" or later, but this computer has " +
           WordName(installed) +
           L"; please install a newer Microsoft Word and run this file again.";
}

}  // namespace quorlix
