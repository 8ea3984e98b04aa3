#include "cli/convert_run.h"

#include "platform/file_system.h"

namespace quorlix {

OptionSet ConsoleFrontEnd::OptionsFor(const std::string&) {
    return options_;
}

bool ConsoleFrontEnd::ConvertOne(const OptionSet& options, const ConversionPaths& paths,
                                 std::string& cause) {
    progress_.Reset();
    progress_.SetConverted(false);
    progress_.SetDocumentName(FileNameOf(paths.documentPath));
    progress_.ClearCancel();
    const bool converted = RunConversion(options, paths, progress_, cause, signer_);
    progress_.SetConverted(converted);
    progress_.ClearBar();
    return converted;
}

void ConsoleFrontEnd::DocumentDone(const std::string& outputPath, bool converted,
                                   const std::string& cause) {
    out_ << (converted ? "converted: " : "failed: ") << outputPath;
    if (!converted && !cause.empty()) {
        out_ << " (" << cause << ")";
    }
    out_ << "\n" << std::flush;
}

}  // namespace quorlix
