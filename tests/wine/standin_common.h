#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Which program writes to the step log: "standin" (the document program) or "helper" (a second
// program that the stand-in starts).
extern const wchar_t* g_role;

// The value of an environment variable; empty when unset.
std::wstring Variable(const wchar_t* name);

// Appends "<tick ms> <role> <text>" to the player's step log (QUORLIX_PLAYER_LOG).
void Record(const std::wstring& text);

// How many lines of the player's in the step log start with `text`.
int PlayerLogCount(const std::wstring& text);

// Starts another copy of this program with the arguments (quoted as needed); its process, or null
// when it could not be started (the error is recorded).
HANDLE StartCopy(const std::wstring& arguments);

// The clipboard's text; empty when it holds none.
std::wstring ClipboardText(HWND window);

// Puts the text on the clipboard with the window as its owner, as a program's Copy does.
void CopyText(HWND window, const std::wstring& text);

}  // namespace standin
