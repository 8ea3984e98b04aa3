#pragma once

#include <windows.h>

#include <functional>

namespace quorlix {

// A thread of its own that runs a window message loop, for work that must answer at once
// whatever the player's main thread is busy with (low-level input hooks, a clipboard listener).
class MessageThread {
public:
    // Runs `start` on the new thread and waits for it; when it returns false the thread ends
    // again and running() is false. `stop` runs on the thread when the object goes.
    MessageThread(std::function<bool()> start, std::function<void()> stop);
    ~MessageThread();
    MessageThread(const MessageThread&) = delete;
    MessageThread& operator=(const MessageThread&) = delete;

    bool running() const { return running_; }

private:
    static DWORD WINAPI Run(void* self);

    std::function<bool()> start_;
    std::function<void()> stop_;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    bool running_ = false;
};

}  // namespace quorlix
