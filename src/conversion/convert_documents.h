#pragma once

#include <string>
#include <vector>

#include "conversion/conversion_job.h"
#include "conversion/option_set.h"
#include "platform/error.h"

namespace quorlix {

// A document whose output was not produced, and why.
struct ConvertFailure {
    std::string outputPath;
    std::string cause;  // the system's text and the step that failed
};

// What one run of the Convert command did.
struct ConvertOutcome {
    std::vector<ConvertFailure> failures;  // in list order
    bool cancelled = false;                // the run ended at a cancel; failures then mean nothing
};

// The error that ends a run early: the staged copy of a document could not be written. It says
// why, as the error did, and carries what the run did up to there, that document's failure
// included, so that no failure already met is lost.
class ConvertRunStopped : public Error {
public:
    ConvertRunStopped(const std::string& message, ConvertOutcome outcome)
        : Error(message), outcome_(std::move(outcome)) {}
    const ConvertOutcome& outcome() const { return outcome_; }

private:
    ConvertOutcome outcome_;
};

// How one front end (window or command line) takes part in a run of the Convert command.
class ConvertFrontEnd {
public:
    virtual ~ConvertFrontEnd() = default;
    // The option set for this document, filled just before its conversion.
    virtual OptionSet OptionsFor(const std::string& documentPath) = 0;
    // Clears the cancel flag and runs RunConversion for one document as this front end shows it
    // (the window: the progress window shown modally; the command line: directly). Returns the
    // converted flag; on failure cause holds why.
    virtual bool ConvertOne(const OptionSet& options, const ConversionPaths& paths,
                            std::string& cause) = 0;
    // True once the user cancelled; read after each document.
    virtual bool CancelRequested() const = 0;
    // After each document that was taken (converted or failed).
    virtual void DocumentDone(const std::string& outputPath, bool converted,
                              const std::string& cause) {
        (void)outputPath;
        (void)converted;
        (void)cause;
    }
};

// Converts documents in order into outputFolder (ends in '/'); stagedCopyPath is the staged
// copy's path in the caller's per-run folder. With the autorun option each output gets a
// subfolder and an old output there is deleted first (one that cannot be deleted fails that
// document without a conversion). A cancel ends the run at once (cancelled = true). A document
// that cannot be embedded (gone, unreadable, too large) fails with the reason and the run goes
// on; one whose staged copy cannot be written throws ConvertRunStopped; outputs already written
// stay.
ConvertOutcome ConvertDocuments(const std::vector<std::string>& documents,
                                const std::string& outputFolder, bool autorun,
                                const std::string& stagedCopyPath, ConvertFrontEnd& frontEnd);

}  // namespace quorlix
