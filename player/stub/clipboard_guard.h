#pragma once

#include <windows.h>

#include <memory>

#include "stub/message_thread.h"

namespace quorlix {

// Keeps what one process copies off the clipboard while it lives: a clipboard listener on a
// thread of its own empties the clipboard whenever its new owner is a window of that process
// (or, for data put there without an owner, when that process is in front). What other programs
// put there stays. One at a time.
class ClipboardGuard {
public:
    explicit ClipboardGuard(DWORD processId);
    ~ClipboardGuard();
    ClipboardGuard(const ClipboardGuard&) = delete;
    ClipboardGuard& operator=(const ClipboardGuard&) = delete;

    bool running() const { return thread_ && thread_->running(); }

private:
    bool Listen();
    void StopListening();

    HWND window_ = nullptr;
    std::unique_ptr<MessageThread> thread_;
};

}  // namespace quorlix
