#pragma once

#include <windows.h>

#include <memory>

#include "common/input_lock_rules.h"
#include "stub/clipboard_guard.h"
#include "stub/input_filter.h"

namespace quorlix {

// The author's locks on the program that opened the document, for as long as the object lives:
// the copy and paste keys and the clipboard (opcopy), the right button and the menu keys
// (opright). Scoped to that one process: other programs keep all of it.
class DocumentLocks {
public:
    DocumentLocks(DWORD processId, const InputLocks& locks);
    ~DocumentLocks();
    DocumentLocks(const DocumentLocks&) = delete;
    DocumentLocks& operator=(const DocumentLocks&) = delete;

private:
    std::unique_ptr<InputFilter> input_;
    std::unique_ptr<ClipboardGuard> clipboard_;
};

}  // namespace quorlix
