#pragma once

#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/finished_output.h"

namespace quorlix {

class CommitQueue;

// How one document ended: converted, or not with the cause (the step and the system's text), and
// what it warned about once its output was finished.
struct DocumentOutcome {
    bool converted = false;
    std::string cause;
    std::vector<std::string> warnings;
};

// Puts a finished output in place on the calling thread (FinishedOutput::Commit) and says how that
// went: a failure's cause names the step ("replacing " and the final path) and the system's text.
DocumentOutcome PutInPlace(std::unique_ptr<FinishedOutput> output);

// A document's outcome, now or later. A document whose job handed back its finished output ends
// once that output is put in place: on a commit queue's thread (CommitOn), or on the thread that
// first asks for the outcome.
class DocumentResult {
public:
    // Settled now.
    DocumentResult(bool converted, std::string cause);
    // Whole, not yet in place.
    explicit DocumentResult(std::unique_ptr<FinishedOutput> finished);
    DocumentResult(DocumentResult&&) noexcept;
    DocumentResult& operator=(DocumentResult&&) noexcept;
    // A finished output never put in place goes with its temporary files.
    ~DocumentResult();

    // Hands a finished output still held to the queue.
    void CommitOn(CommitQueue& queue);
    // Whether the outcome is known, without waiting.
    bool Settled() const;
    // The outcome, waiting for a commit on the queue, or putting a finished output still held in
    // place now.
    const DocumentOutcome& Outcome();

private:
    std::optional<DocumentOutcome> outcome_;
    std::unique_ptr<FinishedOutput> finished_;
    std::future<DocumentOutcome> later_;
};

}  // namespace quorlix
