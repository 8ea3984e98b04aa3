#include <unistd.h>

#include <iostream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/console_progress.h"
#include "cli/convert_inputs.h"
#include "cli/convert_run.h"

namespace quorlix {

namespace {

constexpr int kExitInterrupted = 130;

// The logs window's text: its three lines, then one failed output path per line.
void ReportFailures(const std::vector<std::string>& failures, std::ostream& err) {
    err << "Following EXE have not been generated.\n"
        << "Please check the source file and target EXE file, if they are open by other\n"
        << "Applications. If yes, please close them and convert again.\n";
    for (const std::string& path : failures) {
        err << path << "\n";
    }
}

// The bar goes to the program's own standard error, and only when that is a terminal.
std::ostream* ProgressBarStream(std::ostream& err) {
    return &err == &std::cerr && ::isatty(STDERR_FILENO) ? &err : nullptr;
}

}  // namespace

int RunConvertCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err) {
    const OptionSet options = ConvertOptionsFrom(args, err);
    const DocumentList documents = ConvertDocumentsFrom(args);
    const std::string outputFolder = OutputFolderText(args.Value("output-folder"));
    CheckConvertInputs(options, documents, outputFolder);

    const InterruptGuard interrupts;
    ConsoleProgress progress(ProgressBarStream(err));
    const ConvertOutcome outcome =
        ConvertDocuments(options, documents, outputFolder, progress, out);
    if (outcome.cancelled) {
        return kExitInterrupted;
    }
    if (outcome.failures.empty()) {
        out << "Convert finished!\n";
        return kExitSuccess;
    }
    ReportFailures(outcome.failures, err);
    return kExitFailure;
}

}  // namespace quorlix
