#include "stub/document_locks.h"

#include "stub/player_log.h"

namespace quorlix {

DocumentLocks::DocumentLocks(DWORD processId, const InputLocks& locks) {
    if (!locks.copyPaste && !locks.contextMenu) {
        return;
    }
    input_ = std::make_unique<InputFilter>(processId, locks);
    if (locks.copyPaste) {
        clipboard_ = std::make_unique<ClipboardGuard>(processId);
    }
    LogStep(std::wstring(L"locks on:") + (locks.copyPaste ? L" copy/paste" : L"") +
            (locks.contextMenu ? L" right click" : L"") +
            (input_->running() ? L"" : L" (input hooks refused)") +
            (clipboard_ && !clipboard_->running() ? L" (clipboard listener refused)" : L""));
}

DocumentLocks::~DocumentLocks() {
    if (input_ || clipboard_) {
        clipboard_.reset();
        input_.reset();
        LogStep(L"locks off");
    }
}

}  // namespace quorlix
