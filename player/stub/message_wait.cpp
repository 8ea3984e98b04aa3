#include "stub/message_wait.h"

namespace quorlix {

bool WaitHandlingMessages(HANDLE handle, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    const DWORD count = handle != nullptr ? 1 : 0;
    while (true) {
        const DWORD elapsed = GetTickCount() - start;
        if (milliseconds != INFINITE && elapsed >= milliseconds) {
            return false;
        }
        const DWORD left = milliseconds == INFINITE ? INFINITE : milliseconds - elapsed;
        const DWORD result = MsgWaitForMultipleObjects(count, count != 0 ? &handle : nullptr, FALSE,
                                                       left, QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + count) {
            if (result == WAIT_FAILED && count == 0) {
                Sleep(left);
            }
            return count != 0 && result == WAIT_OBJECT_0;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace quorlix
