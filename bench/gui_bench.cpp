// quorlix-gui-bench [--size 1G]: the desktop program's start-up time until its main window is
// on screen, and the longest stretch in which the progress window could neither repaint nor take
// a click while it converts a document of the given size, unsigned and then signed, with the time
// each conversion takes through the window (what signing adds to an output in the window's run).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/progress_window.h"
#include "bench_options.h"
#include "bench_signer.h"
#include "conversion/conversion_job.h"
#include "input_generator.h"
#include "platform/document_container.h"
#include "platform/run_folder.h"
#include "signing/output_signer.h"
#include "widgets/window_geometry.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from starting the program until it reports its main window on screen.
double StartUpMilliseconds(const std::string& program) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("no pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv{const_cast<char*>(program.c_str()),
                            const_cast<char*>("--exit-when-shown"), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start " + program);
    }
    char buffer[64];
    const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
    const auto exposed = Clock::now();
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got <= 0) {
        throw std::runtime_error(program + " ended without showing its window");
    }
    return std::chrono::duration<double, std::milli>(exposed - start).count();
}

// One document's conversion through the progress window, as Convert runs it.
struct WindowConversion {
    double longestStallMilliseconds = 0;  // between two turns of the window's event loop
    double seconds = 0;                   // from the window's showing until it closed
};

// Converts the staged copy in paths through a progress window, signed when a signer is given.
WindowConversion ConvertInProgressWindow(const quorlix::ConversionPaths& paths,
                                         const quorlix::OutputSigner* signer) {
    quorlix::ProgressWindow progress;
    const quorlix::OptionSet options;
    std::string cause;
    progress.SetJob([&](quorlix::ConversionSink& sink, const quorlix::StepPause& pause) {
        return quorlix::RunConversion(options, paths, sink, cause, signer, pause);
    });
    QElapsedTimer sinceLastTurn;
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sinceLastTurn.isValid()) {
            longest = std::max(longest, static_cast<double>(sinceLastTurn.nsecsElapsed()) / 1e6);
        }
        sinceLastTurn.restart();
    });
    QObject::connect(&progress, &quorlix::ProgressWindow::progressShown, [&] {
        if (!ticker.isActive() && progress.StartCount() > 0) {
            ticker.start();
        }
    });
    const auto start = Clock::now();
    progress.exec();
    progress.EndJob();
    const auto end = Clock::now();
    ticker.stop();
    if (!progress.Converted()) {
        throw std::runtime_error("the conversion failed: " + cause);
    }
    std::filesystem::remove(paths.outputPath);
    return {longest, std::chrono::duration<double>(end - start).count()};
}

// What converting a document of the given size through the progress window costs, unsigned and
// signed (signed is left out without the openssl program to make a certificate).
struct WindowConversions {
    WindowConversion plain;
    std::optional<WindowConversion> signedOutput;
    double signerMilliseconds = 0;  // making the run's signer on the window's thread
};

WindowConversions ConvertUnsignedAndSigned(std::uint64_t documentSize) {
    const quorlix::RunFolder folder(quorlix::NewRunFolderPath());
    const std::string document = folder.path() + "/Bench.doc";
    quorlix::bench::WriteDocument(document, documentSize);
    quorlix::DocumentContainer container;
    container.CreateObjectFromFile(document);
    quorlix::ConversionPaths paths;
    paths.documentPath = document;
    paths.sourcePath = quorlix::StagedCopyPath(folder.path());
    paths.outputPath = folder.path() + "/Bench.exe";
    container.SaveToFile(paths.sourcePath);
    std::filesystem::remove(document);

    WindowConversions result;
    result.plain = ConvertInProgressWindow(paths, nullptr);
    if (const auto pkcs12 = quorlix::bench::MakeBenchCertificate(folder.path())) {
        const auto start = Clock::now();
        const quorlix::OutputSigner signer(*pkcs12, quorlix::bench::kBenchPassword, "");
        result.signerMilliseconds =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        result.signedOutput = ConvertInProgressWindow(paths, &signer);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    std::uint64_t size = 1ull << 30;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--size") {
            size = quorlix::bench::ParseSize(argv[i + 1]);
        }
    }
    const std::string program = std::filesystem::path(argv[0]).parent_path() / "quorlix";
    try {
        std::vector<double> starts;
        for (int round = 0; round < 5; ++round) {
            starts.push_back(StartUpMilliseconds(program));
        }
        std::sort(starts.begin(), starts.end());
        QApplication app(argc, argv);
        quorlix::ApplyProgramFont();
        const WindowConversions runs = ConvertUnsignedAndSigned(size);
        const double stall =
            std::max(runs.plain.longestStallMilliseconds,
                     runs.signedOutput ? runs.signedOutput->longestStallMilliseconds : 0.0);
        const bool startOk = starts[2] <= 300;
        const bool stallOk = stall <= 100;
        const std::string label = quorlix::bench::SizeLabel(size);
        std::printf(
            "quorlix-gui-bench: start-up until the main window is exposed, median of 5: "
            "%.0f ms (least %.0f ms), target <= 300 ms %s\n",
            starts[2], starts[0], startOk ? "PASS" : "MISS");
        std::printf(
            "quorlix-gui-bench: longest stretch without repaint or click while converting "
            "%s%s: %.0f ms, target <= 100 ms %s\n",
            label.c_str(), runs.signedOutput ? ", unsigned and signed" : "", stall,
            stallOk ? "PASS" : "MISS");
        std::printf("quorlix-gui-bench: %s through the progress window: %.2f s unsigned",
                    label.c_str(), runs.plain.seconds);
        if (runs.signedOutput) {
            std::printf(", %.2f s signed (signing adds %.2f s); the run's signer made in %.0f ms",
                        runs.signedOutput->seconds, runs.signedOutput->seconds - runs.plain.seconds,
                        runs.signerMilliseconds);
        }
        std::printf("\n");
        return startOk && stallOk ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorlix-gui-bench: %s\n", e.what());
        return 2;
    }
}
