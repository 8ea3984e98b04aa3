#pragma once

#include <windows.h>

#include <memory>

#include "common/input_lock_rules.h"
#include "stub/message_thread.h"

namespace quorlix {

// Keeps the locked keys and the right button from one process's windows while it lives:
// low-level keyboard and mouse hooks on a thread of their own, so they always answer in time.
// Every other key and click, and everything meant for other programs, passes untouched. One at a
// time.
class InputFilter {
public:
    // Nothing is hooked when no lock is on; running() says whether the hooks are in place.
    InputFilter(DWORD processId, const InputLocks& locks);
    ~InputFilter();
    InputFilter(const InputFilter&) = delete;
    InputFilter& operator=(const InputFilter&) = delete;

    bool running() const { return thread_ && thread_->running(); }

private:
    bool Hook();
    void Unhook();

    HHOOK keyboard_ = nullptr;
    HHOOK mouse_ = nullptr;
    std::unique_ptr<MessageThread> thread_;
};

}  // namespace quorlix
