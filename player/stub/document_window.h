#pragma once

#include <windows.h>

#include <string>

#include "common/presentation_options.h"

namespace quorlix {

// The process a window belongs to; 0 for no window.
DWORD ProcessOfWindow(HWND window);

// The first visible top-level window of the process, waited for at most `milliseconds` while
// window messages are handled; null when none appears or the process ends first.
HWND WaitForMainWindow(HANDLE process, DWORD milliseconds);

// Whether a visible top-level window of a program other than this one and `exceptProcess` is
// titled with the document's file name as document programs title theirs ("Report.docx - Word",
// "Report - Word", "Microsoft Word - Report.docx"): the document went to that program.
bool AnotherProgramShows(const std::wstring& fileName, DWORD exceptProcess);

// Gives the window the title, the size (centred on its screen) or the maximised state, and the
// fixed frame that the options ask for.
void ApplyWindowOptions(HWND window, const WindowOptions& options);

// Puts the title back when the program changed it (programs often retitle a window once the
// document has loaded).
void KeepWindowTitle(HWND window, const WindowOptions& options);

}  // namespace quorlix
