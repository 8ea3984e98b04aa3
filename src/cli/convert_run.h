#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/console_progress.h"
#include "conversion/document_list.h"
#include "conversion/option_set.h"

namespace quorlix {

// What one run over the document list did.
struct ConvertOutcome {
    std::vector<std::string> failures;  // output paths that were not produced, in list order
    bool cancelled = false;             // the run ended at a cancel; failures then mean nothing
};

// Converts the listed documents, in order, into outputFolder (ending in '/'): one per-run folder
// for the run holds each document's staged copy; with the autorun option each output gets a
// subfolder and an old output there is deleted first (one that cannot be deleted fails that
// document without a conversion). Prints "converted: PATH" or "failed: PATH" per document to
// out. A cancel ends the run at once. A document that cannot be embedded, or whose staged copy
// cannot be written, ends the run with that error (outputs already written stay).
ConvertOutcome ConvertDocuments(const OptionSet& options, const DocumentList& documents,
                                const std::string& outputFolder, ConsoleProgress& progress,
                                std::ostream& out);

}  // namespace quorlix
