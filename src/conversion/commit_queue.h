#pragma once

#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "conversion/document_result.h"
#include "conversion/finished_output.h"

namespace quorlix {

// Puts finished outputs in place on a thread of its own, one after the other in the order they
// were added, so that the next document converts while an output is synced and renamed. At most
// kCommitsWaiting outputs wait at once; Add waits for room. Every output added is put in place
// (or fails) before the queue goes.
class CommitQueue {
public:
    static constexpr std::size_t kCommitsWaiting = 4;

    CommitQueue() = default;
    ~CommitQueue();
    CommitQueue(const CommitQueue&) = delete;
    CommitQueue& operator=(const CommitQueue&) = delete;

    // Hands on a finished output; the future gives the document's outcome (PutInPlace) once the
    // output is in place or its commit failed.
    std::future<DocumentOutcome> Add(std::unique_ptr<FinishedOutput> output);

private:
    struct Commit {
        std::unique_ptr<FinishedOutput> output;
        std::promise<DocumentOutcome> outcome;
    };

    void CommitLoop();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Commit> waiting_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace quorlix
