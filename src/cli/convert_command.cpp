#include <unistd.h>

#include <csignal>
#include <iostream>

#include "cli/ansi_loss_warnings.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/console_progress.h"
#include "cli/convert_inputs.h"
#include "cli/convert_run.h"
#include "cli/convert_signing.h"
#include "platform/owner_record.h"
#include "platform/run_folder.h"

namespace quorlix {

namespace {

// A run ended by a signal exits as a shell reports a program killed by it (130 for Ctrl-C).
constexpr int kExitSignalBase = 128;

// The logs window's text: its three lines, then one failed output path per line.
void ReportFailures(const std::vector<ConvertFailure>& failures, std::ostream& err) {
    err << "Following EXE have not been generated.\n"
        << "Please check the source file and target EXE file, if they are open by other\n"
        << "Applications. If yes, please close them and convert again.\n";
    for (const ConvertFailure& failure : failures) {
        err << failure.outputPath;
        if (!failure.cause.empty()) {
            err << " (" << failure.cause << ")";
        }
        err << "\n";
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
    CheckConvertInputs(options, documents, outputFolder, !args.positional().empty());
    WarnAboutAnsiLosses(options, documents.items(), err);
    // Read before any document is touched: a wrong password writes nothing.
    const std::optional<OutputSigner> signer = SignerFrom(args, err);

    const InterruptGuard interrupts;
    RemoveLeftoversOfDeadRuns();
    ConsoleProgress progress(ProgressBarStream(err), &err);
    ConsoleFrontEnd frontEnd(options, progress, out, signer ? &*signer : nullptr);
    const RunFolder runFolder(NewRunFolderPath());
    const ConvertOutcome outcome =
        ConvertDocuments(documents.items(), outputFolder, options.autorun,
                         StagedCopyPath(runFolder.path()), frontEnd);
    if (outcome.cancelled) {
        return kExitSignalBase +
               (InterruptGuard::Signal() != 0 ? InterruptGuard::Signal() : SIGINT);
    }
    if (outcome.failures.empty()) {
        out << "Convert finished!\n";
        return kExitSuccess;
    }
    ReportFailures(outcome.failures, err);
    return kExitFailure;
}

}  // namespace quorlix
