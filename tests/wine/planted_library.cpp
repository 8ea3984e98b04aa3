// A library planted beside an output, as a web page could drop one into a download folder: when
// it is loaded it leaves a file beside itself, its own name and ".loaded".
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH + 8];
        const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcpyW(path + length, L".loaded");
            HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            if (marker != INVALID_HANDLE_VALUE) {
                CloseHandle(marker);
            }
        }
    }
    return TRUE;
}
