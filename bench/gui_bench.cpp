// quorlix-gui-bench [--size 1G] [--first-size 1536M]: the desktop program's start-up time until
// its main window is on screen, its peak memory when it starts with two logos of the largest
// size, the time from a click on Convert until the progress window names the first document's
// output (one document of the first size on the list), the longest stretch in which the progress
// window could neither repaint nor take a click while it converts a document of the given size,
// unsigned and then signed, and the time each conversion takes through the window (what signing
// adds to an output in the window's run).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/logs_window.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "bench_options.h"
#include "bench_signer.h"
#include "conversion/conversion_job.h"
#include "input_generator.h"
#include "platform/document_container.h"
#include "platform/run_folder.h"
#include "signing/output_signer.h"
#include "widgets/dialogs.h"
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

void PutBigEndian32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void AppendPngChunk(std::string& png, const char* type, const std::string& data) {
    PutBigEndian32(png, static_cast<std::uint32_t>(data.size()));
    const std::string typed = type + data;
    png += typed;
    PutBigEndian32(png, static_cast<std::uint32_t>(::crc32(
                            0, reinterpret_cast<const Bytef*>(typed.data()), typed.size())));
}

// Writes a PNG of one colour, 8-bit RGB, compressing it row by row so that this process never
// holds the picture (its memory would count towards the program it starts).
void WriteLargePng(const std::string& path, std::uint32_t side) {
    std::string header;
    PutBigEndian32(header, side);
    PutBigEndian32(header, side);
    header += std::string("\x08\x02\x00\x00\x00", 5);
    std::string row(1 + std::size_t{side} * 3, '\0');
    for (std::size_t x = 0; x < side; ++x) {
        row.replace(1 + x * 3, 3, "\xC8\x28\x1E");
    }
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    std::string compressed;
    char buffer[65536];
    for (std::uint32_t y = 0; y <= side; ++y) {
        const bool last = y == side;
        stream.next_in = reinterpret_cast<Bytef*>(last ? nullptr : row.data());
        stream.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    std::string png = "\x89PNG\r\n\x1A\n";
    AppendPngChunk(png, "IHDR", header);
    AppendPngChunk(png, "IDAT", compressed);
    AppendPngChunk(png, "IEND", "");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(png.data(), 1, png.size(), file) != png.size()) {
        throw std::runtime_error("cannot write " + path);
    }
    std::fclose(file);
}

// Peak resident memory, in KiB, of the program from its start until its main window is exposed,
// with stored defaults that show two logos of 8192 x 8192 pixels (64 megapixels, the most a
// picture may have) on the Logo setup page. Measured before this process grows: a started
// program's peak counts this process's memory at the moment it was started.
long StartUpPeakKiBWithLargeLogos(const std::string& program) {
    const quorlix::RunFolder folder(quorlix::NewRunFolderPath());
    const std::string logos[] = {folder.path() + "/first.png", folder.path() + "/second.png"};
    WriteLargePng(logos[0], 8192);
    WriteLargePng(logos[1], 8192);
    const std::string config = folder.path() + "/config";
    std::filesystem::create_directories(config + "/dorvane");
    std::FILE* defaults = std::fopen((config + "/dorvane/fennimorpro.reg").c_str(), "wb");
    if (defaults == nullptr) {
        throw std::runtime_error("cannot write the stored defaults");
    }
    std::fprintf(defaults,
                 "Windows Registry Editor Version 5.00\r\n\r\n"
                 "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
                 "\"showfirstimage\"=\"1\"\r\n\"firstimage\"=\"%s\"\r\n"
                 "\"showsecondimage\"=\"1\"\r\n\"secondimage\"=\"%s\"\r\n\r\n",
                 logos[0].c_str(), logos[1].c_str());
    std::fclose(defaults);

    std::vector<std::string> settings;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (!std::string(*variable).starts_with("XDG_CONFIG_HOME=")) {
            settings.emplace_back(*variable);
        }
    }
    settings.push_back("XDG_CONFIG_HOME=" + config);
    std::vector<char*> envp;
    for (std::string& setting : settings) {
        envp.push_back(setting.data());
    }
    envp.push_back(nullptr);
    std::vector<char*> argv{const_cast<char*>(program.c_str()),
                            const_cast<char*>("--exit-when-shown"), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(program + " did not start with the large logos");
    }
    return usage.ru_maxrss;
}

// The dialogs of the Convert measurement: the add-files dialog gives one document, the folder
// dialog the output folder; nothing else is asked.
class BenchDialogs final : public quorlix::Dialogs {
public:
    BenchDialogs(std::string document, std::string outputFolder)
        : document_(std::move(document)), outputFolder_(std::move(outputFolder)) {}

    void ShowMessage(QWidget*, const QString& text) override { Unexpected(text); }
    void ShowError(QWidget*, const QString& text) override { Unexpected(text); }
    QStringList OpenFiles(QWidget*, const quorlix::FileDialogRequest&) override {
        return {QString::fromStdString(document_)};
    }
    QString OpenFile(QWidget*, const quorlix::FileDialogRequest&) override { return {}; }
    QString BrowseForFolder(QWidget*, const QString&) override {
        return QString::fromStdString(outputFolder_);
    }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return std::nullopt; }
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<QString> AskPassword(QWidget*, const QString& title, const QString&) override {
        Unexpected(title);
        return std::nullopt;
    }
    void OpenUrl(const QUrl&) override {}
    bool HasApplicationFor(const QString&) override { return false; }

    const std::string& unexpected() const { return unexpected_; }

private:
    void Unexpected(const QString& text) { unexpected_ = text.toStdString(); }

    std::string document_;
    std::string outputFolder_;
    std::string unexpected_;
};

// Milliseconds from a click on Convert until the progress window names the output of the first
// (only) document of the list, a document of documentSize bytes; the run is cancelled there. The
// main window, its progress window and its stored defaults are the program's own, in a folder of
// their own.
double ConvertClickToFirstDocument(std::uint64_t documentSize) {
    const quorlix::RunFolder folder(quorlix::NewRunFolderPath());
    const std::string document = folder.path() + "/Bench.doc";
    const std::string output = folder.path() + "/out";
    quorlix::bench::WriteDocument(document, documentSize);
    std::filesystem::create_directories(output);
    ::setenv("XDG_CONFIG_HOME", (folder.path() + "/config").c_str(), 1);

    BenchDialogs dialogs(document, output);
    quorlix::ProgressWindow progress;
    quorlix::LogsWindow logs;
    double shownAfter = -1;
    {
        quorlix::MainWindow window(dialogs, progress, logs);
        window.show();
        window.findChild<QPushButton*>(QStringLiteral("addFilesButton"))->click();
        window.findChild<QToolButton*>(QStringLiteral("outputFolderButton"))->click();
        QElapsedTimer clock;
        QObject::connect(&progress, &quorlix::ProgressWindow::progressShown, [&] {
            if (shownAfter < 0 && progress.UpperLabel() == "Bench.exe") {
                shownAfter = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                progress.RequestCancel();
            }
        });
        clock.start();
        // The click runs the whole (cancelled) run before it returns.
        window.findChild<QPushButton*>(QStringLiteral("convertButton"))->click();
    }
    if (shownAfter < 0) {
        throw std::runtime_error("the progress window never named the document's output " +
                                 dialogs.unexpected());
    }
    return shownAfter;
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
    paths.stagedCopy = container.Save();
    paths.outputPath = folder.path() + "/Bench.exe";

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
    std::uint64_t firstSize = 1536ull << 20;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--size") {
            size = quorlix::bench::ParseSize(argv[i + 1]);
        }
        if (std::string(argv[i]) == "--first-size") {
            firstSize = quorlix::bench::ParseSize(argv[i + 1]);
        }
    }
    const std::string program = std::filesystem::path(argv[0]).parent_path() / "quorlix";
    try {
        const long logosPeakKiB = StartUpPeakKiBWithLargeLogos(program);
        std::vector<double> starts;
        for (int round = 0; round < 5; ++round) {
            starts.push_back(StartUpMilliseconds(program));
        }
        std::sort(starts.begin(), starts.end());
        QApplication app(argc, argv);
        quorlix::ApplyProgramFont();
        std::vector<double> firsts;
        for (int round = 0; round < 3; ++round) {
            firsts.push_back(ConvertClickToFirstDocument(firstSize));
        }
        std::sort(firsts.begin(), firsts.end());
        const WindowConversions runs = ConvertUnsignedAndSigned(size);
        const double stall =
            std::max(runs.plain.longestStallMilliseconds,
                     runs.signedOutput ? runs.signedOutput->longestStallMilliseconds : 0.0);
        const std::string label = quorlix::bench::SizeLabel(size);
        const bool startOk = starts[2] <= 300;
        const bool logosOk = logosPeakKiB <= 300 * 1024;
        const bool firstOk = firsts[1] <= 500;
        const bool stallOk = stall <= 100;
        std::printf(
            "quorlix-gui-bench: start-up until the main window is exposed, median of 5: "
            "%.0f ms (least %.0f ms), target <= 300 ms %s\n",
            starts[2], starts[0], startOk ? "PASS" : "MISS");
        std::printf(
            "quorlix-gui-bench: peak memory of the start-up with two 8192 x 8192 logos: "
            "%.0f MiB, target <= 300 MiB %s\n",
            static_cast<double>(logosPeakKiB) / 1024, logosOk ? "PASS" : "MISS");
        std::printf(
            "quorlix-gui-bench: from the Convert click until the progress window shows the first "
            "document (%s), median of 3: %.0f ms (least %.0f, most %.0f), target <= 500 ms %s\n",
            quorlix::bench::SizeLabel(firstSize).c_str(), firsts[1], firsts[0], firsts[2],
            firstOk ? "PASS" : "MISS");
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
        return startOk && logosOk && firstOk && stallOk ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorlix-gui-bench: %s\n", e.what());
        return 2;
    }
}
