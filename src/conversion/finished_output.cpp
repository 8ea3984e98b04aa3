#include "conversion/finished_output.h"

#include <exception>

namespace quorlix {

FinishedOutput::FinishedOutput(std::unique_ptr<ReplacementFile> output,
                               std::unique_ptr<AutorunFile> autorun)
    : output_(std::move(output)), autorun_(std::move(autorun)) {}

std::optional<std::string> FinishedOutput::Commit() {
    output_->Commit(true);
    if (!autorun_) {
        return std::nullopt;
    }
    try {
        autorun_->Commit();
    } catch (const std::exception& e) {
        return std::string("Autorun.inf could not be put in place beside the output (") + e.what() +
               ")";
    }
    return std::nullopt;
}

}  // namespace quorlix
