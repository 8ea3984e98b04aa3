#pragma once

#include <string>

#include "stub/stub_error.h"

namespace quorlix {

// The document could not be opened: the message says why, in words for the user.
class DocumentOpenError : public StubError {
public:
    using StubError::StubError;
};

// Opens the document with the shell's "open" verb and returns once the program that opened it is
// done with it: when the program exits, and then once nothing holds the document any more (a
// program that handed the document to one already running exits at once). False when the user
// cancelled the opening; throws DocumentOpenError when it failed.
bool OpenDocumentAndWait(const std::wstring& path);

// Opens a web address with the shell's "open" verb; a failure is not reported.
void OpenWebAddress(const std::wstring& address);

}  // namespace quorlix
