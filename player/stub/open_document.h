#pragma once

#include <string>

#include <windows.h>

#include "stub/stub_error.h"

namespace quorlix {

// The document could not be opened: the message says why, in words for the user.
class DocumentOpenError : public StubError {
public:
    using StubError::StubError;
};

// Told about the program that the shell started for the document, while the player waits for it.
class DocumentWatcher {
public:
    virtual ~DocumentWatcher() = default;
    // The process the shell started, or null when it gave none (the document went to a program
    // that was already running, or to one the system activated). Window messages are handled
    // throughout the wait, so windows made here stay alive. True when the process showed its
    // window, so that its exit closes the document.
    virtual bool Started(HANDLE process) = 0;
};

// Opens the document with the shell's "open" verb and returns once the program that opened it is
// done with it: when the program exits, and then once nothing holds the document any more. A
// program that exits without having shown a window may have handed the document to one already
// running, which is then given a few seconds to take it. False when the user cancelled the
// opening; throws DocumentOpenError when it failed.
bool OpenDocumentAndWait(const std::wstring& path, DocumentWatcher& watcher);

// Opens a web address with the shell's "open" verb; a failure is not reported.
void OpenWebAddress(const std::wstring& address);

}  // namespace quorlix
