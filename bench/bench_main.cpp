// quorlix-bench: measures the conversion of generated documents of several sizes against the
// one-pass floor for the same output (the least any conversion can do: the stub written from
// memory, the document read once and written scrambled, the package entries deflated, on one
// and on two threads, the file synced), the conversion's peak memory and the most space its
// temporary folder took, and a batch of small documents against writing their stubs from memory,
// each synced and renamed into place, and signed (the time signing adds to an output).
//
// Method. Every measured run is a forked child, so its peak resident memory (wait4's ru_maxrss)
// is its own, and it times its work alone with the wall clock. The inputs are generated before
// the runs and are in the page cache for all of them; each run writes into a fresh folder that is
// deleted right after it, followed by a sync, so no run starts with another run's dirty pages to
// write back. An untimed conversion comes first; then the cases alternate, each round starting
// with the next case in turn, and the minimum and median of each are kept. Nothing is dropped
// from the page cache: that needs privileges and hits everyone on the machine, and every case
// reads the same cached inputs.
// Each size's output is also read back by quorlix-cli inspect and extract, each in a child of
// its own, for their peak memory.
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <sstream>

#include "bench_options.h"
#include "bench_signer.h"
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

// The player stub, inflated in the child before a floor's timed work starts.
std::vector<std::uint8_t> stubBytes;

void InflateStub() {
    stubBytes = InflatedStub();
}

// The temporary folder of a case's run: a folder of its own in the case folder, so that the disk
// space the run takes there can be watched apart from its output.
std::string CaseTempFolder(const std::string& caseFolder) {
    return caseFolder + "/tmp";
}

// Runs one case in a child with a fresh case folder, which is deleted afterwards.
ChildResult RunCase(const std::string& caseFolder, const char* what,
                    const std::function<std::uint64_t()>& work,
                    const std::function<void()>& setup = {}) {
    const std::string temp = CaseTempFolder(caseFolder);
    CreateFolders(temp);
    ChildResult result;
    try {
        result = RunInChild(
            [&] {
                ::setenv("TMPDIR", temp.c_str(), 1);
                return work();
            },
            setup, temp);
    } catch (...) {
        DeleteFolder(caseFolder);
        throw;
    }
    DeleteFolder(caseFolder);
    ::sync();
    StopWhenInterrupted();
    std::fprintf(stderr, "  %-16s %8.3f s  peak %7.1f MiB  temporary %9.1f KiB\n", what,
                 result.seconds, static_cast<double>(result.peakRssKiB) / 1024.0,
                 static_cast<double>(result.peakFolderBytes) / 1024.0);
    return result;
}

// Runs the cases round after round, each round starting with the next case in turn.
void Alternate(const std::string& label, int rounds,
               const std::vector<std::function<void()>>& cases) {
    for (int round = 0; round < rounds; ++round) {
        std::fprintf(stderr, "%s round %d of %d\n", label.c_str(), round + 1, rounds);
        for (std::size_t k = 0; k < cases.size(); ++k) {
            cases[(k + static_cast<std::size_t>(round)) % cases.size()]();
        }
    }
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
        const std::string temp = CaseTempFolder(inputs.caseFolder);
        CreateFolders(temp);
        RunInChild([&] {
            ::setenv("TMPDIR", temp.c_str(), 1);
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
    // An untimed first conversion warms the page cache and the file system up after the
    // document was generated, and gives the staged copy's size for the floor.
    std::fprintf(stderr, "%s warm-up conversion\n", SizeLabel(size).c_str());
    const ChildResult warmUp =
        RunCase(inputs.caseFolder, "(untimed)", [&] { return RunMeasuredConversion(inputs); });
    const std::uint64_t stagedSize = warmUp.value;
    result.conversionPeakKiB = warmUp.peakRssKiB;
    result.peakTempBytes = warmUp.peakFolderBytes;
    MeasureReaders(inputs, result);
    auto conversion = [&] {
        const ChildResult c =
            RunCase(inputs.caseFolder, "conversion", [&] { return RunMeasuredConversion(inputs); });
        result.conversion.seconds.push_back(c.seconds);
        result.conversionPeakKiB = std::max(result.conversionPeakKiB, c.peakRssKiB);
        result.peakTempBytes = std::max(result.peakTempBytes, c.peakFolderBytes);
    };
    auto floor = [&](int threads, Timings& timings) {
        const ChildResult f = RunCase(
            inputs.caseFolder, threads == 1 ? "floor, 1 thread" : "floor, 2 threads",
            [&] { return RunOnePassFloor(inputs, stagedSize, stubBytes, threads); }, InflateStub);
        timings.seconds.push_back(f.seconds);
    };
    Alternate(SizeLabel(size), rounds,
              {conversion, [&] { floor(1, result.floorOneThread); },
               [&] { floor(2, result.floorTwoThreads); }});
    return result;
}

// A signer with a certificate made by the openssl program for the benchmark; none (and a note)
// when the program is missing.
std::optional<OutputSigner> BenchSigner(const std::string& scratch) {
    const std::optional<std::string> pkcs12 = MakeBenchCertificate(scratch);
    if (!pkcs12) {
        return std::nullopt;
    }
    return std::optional<OutputSigner>(std::in_place, *pkcs12, kBenchPassword, "");
}

BatchResult MeasureBatch(const std::string& scratch, int count, int rounds) {
    constexpr std::uint64_t kBatchDocumentSize = 10 * 1024;
    BatchResult result;
    result.documents = static_cast<std::uint64_t>(count);
    result.documentSize = kBatchDocumentSize;
    const std::string folder = scratch + "/batch";
    CreateFolders(folder);
    std::vector<std::string> documents;
    std::vector<std::string> outputs;
    const std::string caseFolder = scratch + "/case";
    for (int i = 0; i < count; ++i) {
        documents.push_back(folder + "/document-" + std::to_string(i) + ".doc");
        outputs.push_back(caseFolder + "/out/document-" + std::to_string(i) + ".exe");
        WriteDocument(documents.back(), kBatchDocumentSize);
    }
    ::sync();
    auto conversion = [&] {
        const ChildResult c = RunCase(caseFolder, "batch conversion", [&] {
            return RunBatchConversion(documents, caseFolder + "/out/");
        });
        result.conversion.seconds.push_back(c.seconds);
        result.peakTempBytes = std::max(result.peakTempBytes, c.peakFolderBytes);
    };
    const std::optional<OutputSigner> signer = BenchSigner(scratch);
    auto signedConversion = [&] {
        const ChildResult c = RunCase(caseFolder, "batch, signed", [&] {
            return RunBatchConversion(documents, caseFolder + "/out/", &*signer);
        });
        result.signedConversion.seconds.push_back(c.seconds);
    };
    auto floor = [&](bool sync, Timings& timings) {
        const ChildResult f = RunCase(
            caseFolder, sync ? "batch stub, synced" : "batch stub floor",
            [&] {
                CreateFolders(caseFolder + "/out");
                return RunStubFloor(outputs, stubBytes, sync);
            },
            InflateStub);
        timings.seconds.push_back(f.seconds);
    };
    std::fprintf(stderr, "batch warm-up conversion\n");
    RunCase(caseFolder, "(untimed)",
            [&] { return RunBatchConversion(documents, caseFolder + "/out/"); });
    std::vector<std::function<void()>> cases = {conversion, [&] { floor(false, result.stubFloor); },
                                                [&] { floor(true, result.syncedStubs); }};
    if (signer) {
        cases.push_back(signedConversion);
    }
    Alternate("batch", rounds, cases);
    return result;
}

int RunBenchmark(const BenchOptions& options) {
    ScratchFolder scratch(options.workFolder, options.keep);
    std::fprintf(stderr, "quorlix-bench: scratch folder %s\n", scratch.path().c_str());
    const std::string packageFolder = scratch.path() + "/package";
    CreateFolders(packageFolder);
    const PackageFiles files = WritePackageFiles(packageFolder);
    const int rounds = options.rounds > 0 ? options.rounds : 3;
    std::vector<SizeResult> results;
    for (const std::uint64_t size : options.sizes) {
        const std::string label = SizeLabel(size);
        CaseInputs inputs{scratch.path() + "/document-" + label + ".doc", &files,
                          scratch.path() + "/case"};
        std::fprintf(stderr, "generating the %s document\n", label.c_str());
        WriteDocument(inputs.documentPath, size);
        ::sync();
        StopWhenInterrupted();
        results.push_back(MeasureSize(inputs, size, rounds));
        if (!options.keep) {
            DeleteFile(inputs.documentPath);
        }
    }
    BatchResult batch;
    bool batchFailed = false;
    if (options.batch > 0) {
        try {
            batch = MeasureBatch(scratch.path(), options.batch, rounds);
        } catch (const std::exception& e) {
            // The sizes measured so far are still worth their table.
            std::fprintf(stderr, "quorlix-bench: batch: %s\n", e.what());
            batch = BatchResult{};
            batchFailed = true;
        }
    }
    const bool met = PrintReport(results, batch, files.totalSize);
    return batchFailed ? 2 : met ? 0 : 1;
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
