#include "conversion/convert_documents.h"

#include <sys/stat.h>

#include <system_error>

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

}  // namespace

ConvertOutcome ConvertDocuments(const std::vector<std::string>& documents,
                                const std::string& outputFolder, bool autorun,
                                const std::string& stagedCopyPath, ConvertFrontEnd& frontEnd) {
    ConvertOutcome outcome;
    DocumentContainer container;
    container.SetCannotDeactivate(true);
    for (const std::string& document : documents) {
        if (frontEnd.CancelRequested()) {
            outcome.cancelled = true;
            return outcome;
        }
        container.CreateObjectFromFile(document);
        container.SaveToFile(stagedCopyPath);

        ConversionPaths paths;
        paths.documentPath = document;
        paths.sourcePath = stagedCopyPath;
        paths.outputPath = OutputPathFor(outputFolder, document, autorun);
        std::string cause;
        const bool prepared = !autorun || PrepareAutorunOutput(paths.outputPath, cause);
        bool converted = false;
        if (prepared) {
            const OptionSet options = frontEnd.OptionsFor(document);
            converted = frontEnd.ConvertOne(options, paths, cause);
        }
        if (frontEnd.CancelRequested()) {
            outcome.cancelled = true;
            return outcome;
        }
        if (!converted) {
            outcome.failures.push_back({paths.outputPath, cause});
        }
        frontEnd.DocumentDone(paths.outputPath, converted, cause);
    }
    return outcome;
}

}  // namespace quorlix
