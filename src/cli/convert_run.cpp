#include "cli/convert_run.h"

#include <sys/stat.h>

#include <exception>

#include "conversion/conversion_job.h"
#include "conversion/output_naming.h"
#include "platform/document_container.h"
#include "platform/file_system.h"
#include "platform/run_folder.h"

namespace quorlix {

namespace {

bool AnythingAt(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// With the autorun option: removes whatever is at the output path (a link itself, never what
// it points to) and makes the document's subfolder. False when either cannot be done.
bool PrepareAutorunOutput(const std::string& outputPath) {
    if (AnythingAt(outputPath) && !DeleteFile(outputPath)) {
        return false;
    }
    const std::string folder = FolderOf(outputPath);
    if (FolderExists(folder)) {
        return true;
    }
    try {
        CreateFolders(folder);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

// Runs the conversion job for one staged document; returns the converted flag.
bool ConvertOne(const OptionSet& options, const ConversionPaths& paths, ConsoleProgress& progress) {
    progress.Reset();
    progress.SetConverted(false);
    progress.SetDocumentName(FileNameOf(paths.documentPath));
    progress.ClearCancel();
    const bool converted = RunConversion(options, paths, progress);
    progress.SetConverted(converted);
    progress.ClearBar();
    return converted;
}

}  // namespace

ConvertOutcome ConvertDocuments(const OptionSet& options, const DocumentList& documents,
                                const std::string& outputFolder, ConsoleProgress& progress,
                                std::ostream& out) {
    ConvertOutcome outcome;
    const RunFolder runFolder(NewRunFolderPath());
    const std::string stagedCopy = StagedCopyPath(runFolder.path());
    TOleContainerAc container;
    container.SetCannotDeactivate(true);
    for (const std::string& document : documents.items()) {
        if (progress.CancelRequested()) {
            outcome.cancelled = true;
            return outcome;
        }
        container.CreateObjectFromFile(document);
        container.SaveToFile(stagedCopy);

        ConversionPaths paths;
        paths.documentPath = document;
        paths.sourcePath = stagedCopy;
        paths.outputPath = OutputPathFor(outputFolder, document, options.autorun);
        const bool prepared = !options.autorun || PrepareAutorunOutput(paths.outputPath);
        const bool converted = prepared && ConvertOne(options, paths, progress);
        if (progress.CancelRequested()) {
            outcome.cancelled = true;
            return outcome;
        }
        if (!converted) {
            outcome.failures.push_back(paths.outputPath);
        }
        out << (converted ? "converted: " : "failed: ") << paths.outputPath << "\n" << std::flush;
    }
    return outcome;
}

}  // namespace quorlix
