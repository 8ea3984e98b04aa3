#include "conversion/convert_documents.h"

#include <sys/stat.h>

#include <deque>
#include <memory>
#include <optional>
#include <system_error>

#include "conversion/commit_queue.h"
#include "conversion/output_naming.h"
#include "platform/document_container.h"
#include "platform/file_system.h"
#include "platform/replacement_file.h"

namespace quorlix {

namespace {

// With the autorun option: checks that an old output at the path can be replaced (the job
// replaces it only once the new one is whole) and makes the document's subfolder. False, with
// the cause, when either cannot be done. A subfolder that is a symbolic link is refused: nothing
// is ever written through a link, and a link the user made is not ours to replace.
bool PrepareAutorunOutput(const std::string& outputPath, std::string& cause) {
    const std::string folder = FolderOf(outputPath);
    struct stat st {};
    if (::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        cause = "the folder " + folder +
                " is a symbolic link; an output is never written through a link";
        return false;
    }
    try {
        HoldForReplacement(outputPath);
    } catch (const std::system_error& e) {
        cause = std::string("replacing the old output: ") + e.what();
        return false;
    }
    if (FolderExists(folder)) {
        return true;
    }
    try {
        CreateFolders(folder);
    } catch (const std::system_error& e) {
        cause = "creating the folder " + folder + ": " + e.code().message();
        return false;
    }
    return true;
}

// Embeds the document and returns its staged copy; none, with the cause, when the document
// cannot be embedded (gone, unreadable, too large).
std::shared_ptr<const StagedCopy> EmbedDocument(DocumentContainer& container,
                                                const std::string& document, std::string& cause) {
    try {
        container.CreateObjectFromFile(document);
        return container.Save();
    } catch (const std::exception& e) {
        cause = std::string("embedding the document: ") + e.what();
        return nullptr;
    }
}

// The documents taken whose end is not reported yet, in list order: each is reported to the
// front end, and its failure recorded, once it and every one before it have settled.
class PendingDocuments {
public:
    PendingDocuments(ConvertFrontEnd& frontEnd, ConvertOutcome& outcome)
        : frontEnd_(frontEnd), outcome_(outcome) {}

    void Add(std::string outputPath, DocumentResult result) {
        pending_.push_back({std::move(outputPath), std::move(result)});
        ReportSettled();
    }
    // Reports those at the front that have settled, without waiting.
    void ReportSettled() {
        while (!pending_.empty() && pending_.front().result.Settled()) {
            ReportFront();
        }
    }
    // Waits for and reports every document up to the last one written to outputPath, so that
    // nothing else touches that path while its output is put in place.
    void WaitFor(const std::string& outputPath) {
        std::size_t count = 0;
        for (std::size_t i = 0; i < pending_.size(); ++i) {
            count = pending_[i].outputPath == outputPath ? i + 1 : count;
        }
        while (count-- > 0) {
            ReportFront();
        }
    }
    // Waits for and reports every document.
    void ReportAll() {
        while (!pending_.empty()) {
            ReportFront();
        }
    }

private:
    struct Pending {
        std::string outputPath;
        DocumentResult result;
    };

    void ReportFront() {
        Pending done = std::move(pending_.front());
        pending_.pop_front();
        const DocumentOutcome& outcome = done.result.Outcome();
        if (!outcome.converted) {
            outcome_.failures.push_back({done.outputPath, outcome.cause});
        }
        frontEnd_.DocumentDone(done.outputPath, outcome);
    }

    ConvertFrontEnd& frontEnd_;
    ConvertOutcome& outcome_;
    std::deque<Pending> pending_;
};

// The run over the documents; what it took is reported through pending. A finished output that
// a document after it may overtake goes to the commit queue; the last is put in place on this
// thread when it is reported.
void ConvertInOrder(const std::vector<std::string>& documents, const std::string& outputFolder,
                    bool autorun, ConvertFrontEnd& frontEnd, CommitQueue& commits,
                    PendingDocuments& pending, ConvertOutcome& outcome) {
    DocumentContainer container;
    container.SetCannotDeactivate(true);
    for (const std::string& document : documents) {
        if (frontEnd.CancelRequested()) {
            outcome.cancelled = true;
            return;
        }
        ConversionPaths paths;
        paths.documentPath = document;
        paths.outputPath = OutputPathFor(outputFolder, document, autorun);
        pending.WaitFor(paths.outputPath);
        std::string cause;
        paths.stagedCopy = EmbedDocument(container, document, cause);
        const bool prepared =
            paths.stagedCopy && (!autorun || PrepareAutorunOutput(paths.outputPath, cause));
        std::optional<DocumentResult> result;
        if (prepared) {
            const OptionSet options = frontEnd.OptionsFor(document);
            result.emplace(frontEnd.ConvertOne(options, paths));
        }
        // A cancel up to here leaves an output not yet in place out.
        if (frontEnd.CancelRequested()) {
            outcome.cancelled = true;
            return;
        }
        if (!result) {
            result.emplace(false, cause);
        } else if (&document != &documents.back()) {
            result->CommitOn(commits);
        }
        pending.Add(paths.outputPath, std::move(*result));
    }
}

}  // namespace

ConvertOutcome ConvertDocuments(const std::vector<std::string>& documents,
                                const std::string& outputFolder, bool autorun,
                                ConvertFrontEnd& frontEnd) {
    ConvertOutcome outcome;
    CommitQueue commits;
    PendingDocuments pending(frontEnd, outcome);
    try {
        ConvertInOrder(documents, outputFolder, autorun, frontEnd, commits, pending, outcome);
    } catch (const std::exception& e) {
        pending.ReportAll();
        throw ConvertRunStopped(e.what(), outcome);
    } catch (...) {
        pending.ReportAll();
        throw;
    }
    pending.ReportAll();
    return outcome;
}

}  // namespace quorlix
