#include "cli/convert_run.h"

#include "platform/file_system.h"

namespace quorlix {

OptionSet ConsoleFrontEnd::OptionsFor(const std::string&) {
    return options_;
}

DocumentResult ConsoleFrontEnd::ConvertOne(const OptionSet& options, const ConversionPaths& paths) {
    progress_.Reset();
    progress_.SetConverted(false);
    progress_.SetDocumentName(FileNameOf(paths.documentPath));
    progress_.ClearCancel();
    std::string cause;
    std::unique_ptr<FinishedOutput> finished =
        RunConversionToCommit(options, paths, progress_, cause, signer_);
    progress_.SetConverted(finished != nullptr);
    progress_.ClearBar();
    if (!finished) {
        return DocumentResult(false, cause);
    }
    return DocumentResult(std::move(finished));
}

void ConsoleFrontEnd::DocumentDone(const std::string& outputPath, const DocumentOutcome& outcome) {
    for (const std::string& warning : outcome.warnings) {
        progress_.Warn(warning);
    }
    out_ << (outcome.converted ? "converted: " : "failed: ") << outputPath;
    if (!outcome.converted && !outcome.cause.empty()) {
        out_ << " (" << outcome.cause << ")";
    }
    out_ << "\n" << std::flush;
}

}  // namespace quorlix
