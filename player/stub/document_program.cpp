#include "stub/document_program.h"

#include <windows.h>

#include <shlwapi.h>

#include "stub/player_log.h"

namespace quorlix {

namespace {

bool HasClassKey(const std::wstring& extension) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_READ, &key);
    if (result == ERROR_SUCCESS) {
        RegCloseKey(key);
    }
    return result != ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool HasProgramFor(const std::wstring& extension) {
    if (extension.empty()) {
        return true;
    }
    DWORD size = 0;
    const HRESULT result = AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_COMMAND,
                                             extension.c_str(), L"open", nullptr, &size);
    const bool none = result == HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION) ||
                      (FAILED(result) && !HasClassKey(extension));
    LogStep(L"program for " + extension + (none ? L": none" : L": found"));
    return !none;
}

std::wstring NoProgramMessage(const std::wstring& extension) {
    return L"No program on this computer opens " + extension +
           L" documents; please install Microsoft Word and run this file again.";
}

}  // namespace quorlix
