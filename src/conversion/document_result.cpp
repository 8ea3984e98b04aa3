#include "conversion/document_result.h"

#include <chrono>
#include <exception>

#include "conversion/commit_queue.h"

namespace quorlix {

DocumentOutcome PutInPlace(std::unique_ptr<FinishedOutput> output) {
    DocumentOutcome outcome;
    const std::string step = "replacing " + output->finalPath();
    try {
        if (std::optional<std::string> warning = output->Commit()) {
            outcome.warnings.push_back(std::move(*warning));
        }
        outcome.converted = true;
    } catch (const std::exception& e) {
        outcome.cause = step + ": " + e.what();
    }
    // Its temporary files go with it, whatever happened.
    output.reset();
    return outcome;
}

DocumentResult::DocumentResult(bool converted, std::string cause)
    : outcome_(DocumentOutcome{converted, std::move(cause), {}}) {}

DocumentResult::DocumentResult(std::unique_ptr<FinishedOutput> finished)
    : finished_(std::move(finished)) {}

DocumentResult::DocumentResult(DocumentResult&&) noexcept = default;
DocumentResult& DocumentResult::operator=(DocumentResult&&) noexcept = default;
DocumentResult::~DocumentResult() = default;

void DocumentResult::CommitOn(CommitQueue& queue) {
    if (finished_) {
        later_ = queue.Add(std::move(finished_));
    }
}

bool DocumentResult::Settled() const {
    return outcome_.has_value() || (later_.valid() && later_.wait_for(std::chrono::seconds(0)) ==
                                                          std::future_status::ready);
}

const DocumentOutcome& DocumentResult::Outcome() {
    if (!outcome_) {
        outcome_ = finished_ ? PutInPlace(std::move(finished_)) : later_.get();
    }
    return *outcome_;
}

}  // namespace quorlix
