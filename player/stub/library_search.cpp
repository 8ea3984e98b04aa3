#include "stub/library_search.h"

#include <windows.h>

#include <optional>
#include <string>

#include "stub/player_log.h"

namespace quorlix {

void LimitLibrarySearchToSystem() {
    // Looked up rather than imported: Windows 7 without its loader update lacks it, and the
    // program must still start there.
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        const auto set = reinterpret_cast<SetDefaultDirectories>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (set != nullptr) {
            set(LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
    }
    // Takes the current folder out of the search as well, where the call above is missing.
    SetDllDirectoryW(L"");
}

void ProbeLibrarySearch() {
    const std::optional<std::wstring> name = TestSetting(L"QUORLIX_PLAYER_PROBE_LIBRARY");
    if (!name) {
        return;
    }
    HMODULE library = LoadLibraryW(name->c_str());
    LogStep(L"library " + *name + (library != nullptr ? L" loaded" : L" not loaded"));
    if (library != nullptr) {
        FreeLibrary(library);
    }
}

}  // namespace quorlix
