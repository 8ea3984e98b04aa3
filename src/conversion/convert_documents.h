#pragma once

#include <string>
#include <vector>

#include "conversion/conversion_job.h"
#include "conversion/document_result.h"
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

// The error that ends a run early. It says why, as the error did, and carries what the run did
// up to there, so that no failure already met is lost.
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
    // Clears the cancel flag and runs the job for one document as this front end shows it (the
    // window: RunConversion in the progress window shown modally, the output put in place inside
    // the job; the command line: RunConversionToCommit directly, its finished output handed back
    // for the run to put in place, on another thread while the next document converts).
    virtual DocumentResult ConvertOne(const OptionSet& options, const ConversionPaths& paths) = 0;
    // True once the user cancelled; read after each document.
    virtual bool CancelRequested() const = 0;
    // Once for each document that was taken, in list order, when it has settled (converted or
    // failed).
    virtual void DocumentDone(const std::string& outputPath, const DocumentOutcome& outcome) {
        (void)outputPath;
        (void)outcome;
    }
};

// Converts documents in order into outputFolder (ends in '/'), each embedded and its staged copy
// handed to the job. With the autorun option each output gets a subfolder and an old output
// there is deleted first (one that cannot be deleted fails that document without a conversion).
// A cancel ends the run at once (cancelled = true); an output the job finished but nothing put in
// place yet is then left out. A document that cannot be embedded (gone, unreadable, too large)
// fails with the reason and the run goes on. Finished outputs handed back are put in place in
// list order, each but the last on a thread of the run's own while the next document converts,
// and a document whose output path is still being put in place waits for it. Every document
// taken has settled and been reported when this returns or throws; an error that ends the run
// early throws ConvertRunStopped, and outputs already in place stay.
ConvertOutcome ConvertDocuments(const std::vector<std::string>& documents,
                                const std::string& outputFolder, bool autorun,
                                ConvertFrontEnd& frontEnd);

}  // namespace quorlix
