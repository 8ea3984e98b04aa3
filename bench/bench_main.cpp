// quorlix-bench: measures the conversion of generated documents of several sizes against the
// least work the output layout requires for the same bytes, and the conversion's peak memory.
//
// Method. Every measured run is a forked child, so its peak resident memory (wait4's ru_maxrss)
// is its own, and it times its work alone with the wall clock. The inputs are generated before
// the runs and are in the page cache for all of them; each run writes into a fresh folder that is
// deleted right after it, followed by a sync, so no run starts with another run's dirty pages to
// write back. An untimed conversion comes first; then conversion and least work alternate, the
// least work first in odd rounds and second in even ones, and the best time of each is kept
// (3 rounds below 1 GiB, 2 from 1 GiB). Nothing is dropped from the page cache: that needs
// privileges and hits everyone on the machine, and both sides read the same cached inputs.
// Each size's output is also read back by quorlix-cli inspect and extract, each in a child of
// its own, for their peak memory.
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <sstream>

#include "bench_options.h"
#include "child_process.h"
#include "cli/cli.h"
#include "input_generator.h"
#include "measured_case.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/temp_folder.h"
#include "report.h"

namespace quorlix::bench {

namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

// Ctrl-C and SIGTERM end the benchmark between runs, so that its scratch files are deleted.
void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void StopWhenInterrupted() {
    if (interrupted != 0) {
        throw Error("interrupted");
    }
}

// The benchmark's own folder of scratch files, deleted when it goes unless asked to keep it.
class ScratchFolder {
public:
    ScratchFolder(const std::string& parent, bool keep)
        : path_((parent.empty() ? TempFolderPath() : parent + "/") + "quorlix-bench-" +
                std::to_string(::getpid())),
          keep_(keep) {
        CreateFolders(path_);
    }
    ~ScratchFolder() {
        if (!keep_) {
            DeleteFolder(path_);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool keep_;
};

// Runs one case in a child with a fresh case folder, which is deleted afterwards.
ChildResult RunCase(CaseInputs inputs, const char* what,
                    const std::function<std::uint64_t(const CaseInputs&)>& work) {
    CreateFolders(inputs.caseFolder);
    ChildResult result;
    try {
        result = RunInChild([&] {
            // The temporary folder of the run (staged copy, work folders) is the case folder.
            ::setenv("TMPDIR", inputs.caseFolder.c_str(), 1);
            return work(inputs);
        });
    } catch (...) {
        DeleteFolder(inputs.caseFolder);
        throw;
    }
    DeleteFolder(inputs.caseFolder);
    ::sync();
    StopWhenInterrupted();
    std::fprintf(stderr, "  %-10s %8.3f s  peak %7.1f MiB\n", what, result.seconds,
                 static_cast<double>(result.peakRssKiB) / 1024.0);
    return result;
}

// Converts once more and measures quorlix-cli inspect and extract of that output, each in a
// child of its own.
void MeasureReaders(const CaseInputs& inputs, SizeResult& result) {
    CreateFolders(inputs.caseFolder);
    const std::string output = inputs.caseFolder + "/output.exe";
    auto readerRun = [&](const char* what, std::vector<std::string> args) {
        const ChildResult r = RunInChild([&] {
            std::ostringstream out;
            std::ostringstream err;
            const int status = RunCli(args, out, err);
            if (status != 0) {
                throw Error(std::string(what) + " failed: " + err.str());
            }
            return std::uint64_t{0};
        });
        std::fprintf(stderr, "  %-10s %8.3f s  peak %7.1f MiB\n", what, r.seconds,
                     static_cast<double>(r.peakRssKiB) / 1024.0);
        return r.peakRssKiB;
    };
    try {
        RunInChild([&] {
            ::setenv("TMPDIR", inputs.caseFolder.c_str(), 1);
            return RunMeasuredConversion(inputs);
        });
        result.inspectPeakKiB = readerRun("inspect", {"inspect", output});
        result.extractPeakKiB =
            readerRun("extract", {"extract", output, inputs.caseFolder + "/extracted"});
    } catch (...) {
        DeleteFolder(inputs.caseFolder);
        throw;
    }
    DeleteFolder(inputs.caseFolder);
    ::sync();
    StopWhenInterrupted();
}

SizeResult MeasureSize(const CaseInputs& inputs, std::uint64_t size, int rounds) {
    SizeResult result;
    result.documentSize = size;
    result.rounds = rounds;
    result.conversionSeconds = std::numeric_limits<double>::max();
    result.leastWorkSeconds = std::numeric_limits<double>::max();
    // An untimed first conversion warms the page cache and the file system up after the
    // document was generated, and gives the staged copy's size for the least work.
    std::fprintf(stderr, "%s warm-up conversion\n", SizeLabel(size).c_str());
    const ChildResult warmUp = RunCase(inputs, "(untimed)", RunMeasuredConversion);
    const std::uint64_t stagedSize = warmUp.value;
    result.conversionPeakKiB = warmUp.peakRssKiB;
    MeasureReaders(inputs, result);
    for (int round = 0; round < rounds; ++round) {
        std::fprintf(stderr, "%s round %d of %d\n", SizeLabel(size).c_str(), round + 1, rounds);
        for (int step = 0; step < 2; ++step) {
            if ((step == 0) == (round % 2 == 1)) {
                const ChildResult c = RunCase(inputs, "conversion", RunMeasuredConversion);
                result.conversionSeconds = std::min(result.conversionSeconds, c.seconds);
                result.conversionPeakKiB = std::max(result.conversionPeakKiB, c.peakRssKiB);
            } else {
                const ChildResult w = RunCase(inputs, "least work", [&](const CaseInputs& in) {
                    return RunLeastWork(in, stagedSize);
                });
                result.leastWorkSeconds = std::min(result.leastWorkSeconds, w.seconds);
            }
        }
    }
    return result;
}

int RunBenchmark(const BenchOptions& options) {
    ScratchFolder scratch(options.workFolder, options.keep);
    std::fprintf(stderr, "quorlix-bench: scratch folder %s\n", scratch.path().c_str());
    const std::string packageFolder = scratch.path() + "/package";
    CreateFolders(packageFolder);
    const PackageFiles files = WritePackageFiles(packageFolder);
    std::vector<SizeResult> results;
    for (const std::uint64_t size : options.sizes) {
        const std::string label = SizeLabel(size);
        CaseInputs inputs{scratch.path() + "/document-" + label + ".doc", &files,
                          scratch.path() + "/case"};
        std::fprintf(stderr, "generating the %s document\n", label.c_str());
        WriteDocument(inputs.documentPath, size);
        ::sync();
        StopWhenInterrupted();
        const int rounds = options.rounds > 0 ? options.rounds : (size >= kGiB ? 2 : 3);
        results.push_back(MeasureSize(inputs, size, rounds));
        if (!options.keep) {
            DeleteFile(inputs.documentPath);
        }
    }
    return PrintReport(results, files.totalSize) ? 0 : 1;
}

}  // namespace

}  // namespace quorlix::bench

int main(int argc, char** argv) {
    using namespace quorlix::bench;
    try {
        const BenchOptions options = ParseOptions(argc, argv);
        if (options.help) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        CatchInterrupts();
        return RunBenchmark(options);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "quorlix-bench: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorlix-bench: %s\n", e.what());
        return 2;
    }
}
