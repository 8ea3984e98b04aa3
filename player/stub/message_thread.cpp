#include "stub/message_thread.h"

namespace quorlix {

MessageThread::MessageThread(std::function<bool()> start, std::function<void()> stop)
    : start_(std::move(start)), stop_(std::move(stop)) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ready_ == nullptr) {
        return;
    }
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    if (thread_ == nullptr) {
        return;
    }
    WaitForSingleObject(ready_, INFINITE);
}

MessageThread::~MessageThread() {
    if (thread_ != nullptr) {
        if (running_) {
            PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        }
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    if (ready_ != nullptr) {
        CloseHandle(ready_);
    }
}

DWORD WINAPI MessageThread::Run(void* parameter) {
    auto* self = static_cast<MessageThread*>(parameter);
    // The thread's message queue exists before anyone may post to it.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    self->running_ = self->start_();
    const bool running = self->running_;
    SetEvent(self->ready_);
    if (!running) {
        return 0;
    }
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    self->stop_();
    return 0;
}

}  // namespace quorlix
