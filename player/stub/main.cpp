// The player stub's entry point.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"This program carries no document.", L"Dorvane Quorlix", MB_OK | MB_ICONERROR);
    return 1;
}
