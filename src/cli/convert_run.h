#pragma once

#include <ostream>
#include <string>

#include "cli/console_progress.h"
#include "conversion/convert_documents.h"

namespace quorlix {

// quorlix-cli's part in a run of the Convert command: one option set for every document, the
// job run directly with the console progress (and signing every output when a signer is given),
// each finished output handed back to the run to be synced and renamed into place, and
// "converted: PATH" (once the output is in place) or "failed: PATH" (with the cause, when known)
// printed per document.
class ConsoleFrontEnd : public ConvertFrontEnd {
public:
    ConsoleFrontEnd(const OptionSet& options, ConsoleProgress& progress, std::ostream& out,
                    const OutputSigner* signer = nullptr)
        : options_(options), progress_(progress), out_(out), signer_(signer) {}

    OptionSet OptionsFor(const std::string& documentPath) override;
    DocumentResult ConvertOne(const OptionSet& options, const ConversionPaths& paths) override;
    bool CancelRequested() const override { return progress_.CancelRequested(); }
    void DocumentDone(const std::string& outputPath, const DocumentOutcome& outcome) override;

private:
    const OptionSet& options_;
    ConsoleProgress& progress_;
    std::ostream& out_;
    const OutputSigner* signer_;
};

}  // namespace quorlix
