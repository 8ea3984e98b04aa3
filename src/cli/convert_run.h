#pragma once

#include <ostream>
#include <string>

#include "cli/console_progress.h"
#include "conversion/convert_documents.h"

namespace quorlix {

// quorlix-cli's part in a run of the Convert command: one option set for every document, the
// job run directly with the console progress (and signing every output when a signer is given),
// and "converted: PATH" or "failed: PATH" (with the cause, when known) printed per document.
class ConsoleFrontEnd : public ConvertFrontEnd {
public:
    ConsoleFrontEnd(const OptionSet& options, ConsoleProgress& progress, std::ostream& out,
                    const OutputSigner* signer = nullptr)
        : options_(options), progress_(progress), out_(out), signer_(signer) {}

    OptionSet OptionsFor(const std::string& documentPath) override;
    bool ConvertOne(const OptionSet& options, const ConversionPaths& paths,
                    std::string& cause) override;
    bool CancelRequested() const override { return progress_.CancelRequested(); }
    void DocumentDone(const std::string& outputPath, bool converted,
                      const std::string& cause) override;

private:
    const OptionSet& options_;
    ConsoleProgress& progress_;
    std::ostream& out_;
    const OutputSigner* signer_;
};

}  // namespace quorlix
