#pragma once

#include <windows.h>

namespace quorlix {

// Waits for the handle (or only the time when it is null) while handling the thread's window
// messages, so that the player's own windows stay alive and programs sending messages to all
// windows are never held up. True when the handle was signalled.
bool WaitHandlingMessages(HANDLE handle, DWORD milliseconds);

}  // namespace quorlix
