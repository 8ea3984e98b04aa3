#include "conversion/commit_queue.h"

#include <exception>

namespace quorlix {

CommitQueue::~CommitQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::future<DocumentOutcome> CommitQueue::Add(std::unique_ptr<FinishedOutput> output) {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { CommitLoop(); });
    }
    changed_.wait(lock, [this] { return waiting_.size() < kCommitsWaiting; });
    Commit commit{std::move(output), {}};
    std::future<DocumentOutcome> outcome = commit.outcome.get_future();
    waiting_.push_back(std::move(commit));
    lock.unlock();
    changed_.notify_all();
    return outcome;
}

void CommitQueue::CommitLoop() {
    for (;;) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) {
            return;
        }
        // Stays at the front while it is committed: it still counts as waiting.
        std::unique_ptr<FinishedOutput> output = std::move(waiting_.front().output);
        lock.unlock();
        DocumentOutcome outcome;
        std::exception_ptr error;  // reaches the converting thread instead of ending the program
        try {
            outcome = PutInPlace(std::move(output));
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        std::promise<DocumentOutcome> settled = std::move(waiting_.front().outcome);
        waiting_.pop_front();
        lock.unlock();
        changed_.notify_all();
        if (error) {
            settled.set_exception(error);
        } else {
            settled.set_value(std::move(outcome));
        }
    }
}

}  // namespace quorlix
