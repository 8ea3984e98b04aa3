// The built quorlix-cli under failing system calls (strace's fault injection) and under SIGKILL:
// an output is whole or absent, an older output stays until replaced, and nothing of a run is
// left once the next run has started.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/installed_fonts.h"
#include "platform/staged_copy.h"
#include "support/cli_output.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

const std::string kOld = "an older output";

// The system calls that fail in turn, each with the error it is given.
const std::map<std::string, std::string> kInjected = {
    {"openat", "ENOSPC"}, {"read", "EIO"},       {"write", "ENOSPC"},   {"fsync", "EIO"},
    {"rename", "ENOSPC"}, {"close", "EIO"},      {"mkdir", "ENOSPC"},   {"unlink", "EIO"},
    {"flock", "EIO"},     {"ftruncate", "EIO"},  {"getdents64", "EIO"}, {"rmdir", "EIO"},
    {"lseek", "EIO"},     {"newfstatat", "EIO"}, {"fstat", "EIO"},      {"getrandom", "EIO"},
    {"fcntl", "EIO"},     {"unlinkat", "EIO"},   {"openat2", "EIO"}};

bool HaveStrace() {
    return std::system("strace -V >/dev/null 2>&1") == 0 &&
           std::system("strace -f -o /dev/null true >/dev/null 2>&1") == 0;
}

// One conversion of a document with an icon, both images and a font, as a shell command line.
class Scenario {
public:
    Scenario() {
        fs::create_directories(folder / "out");
        fs::create_directories(folder / "tmp");
        test::WriteFile(folder / "Plan.doc", test::RandomBytes(100000, 7));
        test::WriteFile(folder / "one.png", test::RandomBytes(3000, 1));
        test::WriteFile(folder / "two.jpg", test::RandomBytes(2000, 2));
        fs::copy_file(QUORLIX_DEFAULT_ICON_PATH, folder / "icon.ico");
        const std::vector<FontListEntry> fonts = ListInstalledFonts();
        for (const FontListEntry& font : fonts) {
            if (font.fileEntry.find('|') == std::string::npos) {
                fontArgs_ = " --embed-font '" + font.displayName + "'";
                break;
            }
        }
    }

    std::string Command(const std::string& prefix) const {
        // The leak check cannot run under strace; the run itself is checked here.
        return "cd '" + folder.path() + "' && ASAN_OPTIONS=detect_leaks=0 TMPDIR='" +
               folder / "tmp" + "' " + prefix + " '" + QUORLIX_CLI_PATH +
               "' convert --output-folder out --set changeicon=1" +
               " --set iconfilename=icon.ico --set showfirstimage=1 --set firstimage=one.png" +
               " --set showsecondimage=1 --set secondimage=two.jpg" + fontArgs_ +
               " Plan.doc >stdout 2>stderr";
    }

    // Runs with the prefix (strace ...); returns the shell's status.
    int Run(const std::string& prefix) const {
        test::WriteFile(folder / "out/Plan.exe", kOld);
        return std::system(Command(prefix).c_str());
    }

    // Names left in the output folder besides Plan.exe, and in the temporary folder's own folders.
    std::set<std::string> Leftovers() const {
        std::set<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder / "out")) {
            if (entry.path().filename() != "Plan.exe") {
                left.insert(entry.path().string());
            }
        }
        const std::string dorvane =
            folder / ("tmp/quorlix-" + std::to_string(::getuid())) + "/dorvane";
        if (fs::exists(dorvane)) {
            for (const auto& entry : fs::recursive_directory_iterator(dorvane)) {
                if (!entry.is_directory() || entry.path().filename().string().starts_with("{")) {
                    left.insert(entry.path().string());
                }
            }
        }
        return left;
    }

    // Checks one finished run: a reported success is whole, anything else left the old output,
    // a failure names its cause.
    void CheckRun(const std::string& what) const {
        const std::string out = test::ReadFile(folder / "stdout");
        const std::string err = test::ReadFile(folder / "stderr");
        const std::string bytes = test::ReadFile(folder / "out/Plan.exe");
        const bool outLost = err.find("standard output could not be written") != std::string::npos;
        if (out.find("converted: ") != std::string::npos || (outLost && bytes != kOld)) {
            ASSERT_FALSE(bytes == kOld) << what;
            const test::ReadOutput read = test::ReadBack(bytes);
            EXPECT_EQ(read.package.entries.size(), fontArgs_.empty() ? 9u : 10u) << what;
            EXPECT_EQ(test::Unscrambled(bytes.substr(read.documentStart, 4)), "BDOC") << what;
        } else {
            EXPECT_TRUE(bytes == kOld) << what << "\n" << out << err;
        }
        const std::size_t failed = out.find("failed: ");
        if (failed != std::string::npos) {
            const std::string line = out.substr(failed, out.find('\n', failed) - failed);
            EXPECT_NE(line.find(" ("), std::string::npos) << what << ": " << line;
        }
        // Messages name the output, never the temporary file it is written under.
        for (const std::string& text : {out, err}) {
            EXPECT_EQ(text.find(".part"), std::string::npos) << what << ": " << text;
            EXPECT_EQ(text.find("}.tmp"), std::string::npos) << what << ": " << text;
        }
        // A failed icon step says what the system said, after its own text.
        const std::size_t icon = err.find("EndUpdateResource failed");
        if (icon != std::string::npos) {
            EXPECT_EQ(err.substr(icon + 24, 2), ": ") << what << ": " << err;
        }
    }

    // After a run: what it left, if anything, is gone once the next run has started.
    void CheckCleanAfterNextRun(const std::string& what) const {
        if (Leftovers().empty()) {
            return;
        }
        Run("");
        EXPECT_EQ(Leftovers(), std::set<std::string>()) << what;
    }

    TestFolder folder;

private:
    std::string fontArgs_;
};

// How often each injected system call is made once the run starts its own work.
std::map<std::string, int> CountCalls(const Scenario& scenario) {
    EXPECT_EQ(scenario.Run("strace -f -qq -o trace"), 0);
    std::istringstream trace(test::ReadFile(scenario.folder / "trace"));
    std::map<std::string, int> counts;
    std::string line;
    while (std::getline(trace, line)) {
        std::istringstream words(line);
        std::string pid;
        std::string call;
        words >> pid >> call;
        call = call.substr(0, call.find('('));
        if (kInjected.contains(call)) {
            ++counts[call];
        }
    }
    return counts;
}

TEST(CliFaults, EveryFailingSystemCallLeavesAWholeOutputOrTheOldOne) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    const Scenario scenario;
    const std::map<std::string, int> counts = CountCalls(scenario);
    ASSERT_FALSE(counts.empty());
    // Bounded: at most this many runs, spread evenly over every call of every kind.
    constexpr int kMaxRuns = 70;
    int total = 0;
    for (const auto& [call, count] : counts) {
        total += count;
    }
    const int stride = std::max(1, (total + kMaxRuns - 1) / kMaxRuns);
    int runs = 0;
    for (const auto& [call, count] : counts) {
        for (int n = 1; n <= count; n += stride) {
            const std::string what = call + " #" + std::to_string(n);
            scenario.Run("strace -f -qq -o /dev/null -e trace=" + call + " -e inject=" + call +
                         ":error=" + kInjected.at(call) + ":when=" + std::to_string(n));
            scenario.CheckRun(what);
            scenario.CheckCleanAfterNextRun(what);
            ++runs;
        }
    }
    RecordProperty("runs", runs);
}

TEST(CliFaults, AKilledRunLeavesNoPartialOutputAndTheNextRunRemovesItsFolders) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    const Scenario scenario;
    std::map<std::string, int> counts = CountCalls(scenario);
    // SIGKILL in the document's copy, in the package, at the last fsync and at each rename (the
    // last one puts the output in place).
    std::vector<std::string> points = {"write:when=" + std::to_string(counts["write"] / 3),
                                       "write:when=" + std::to_string(counts["write"] * 2 / 3),
                                       "fsync:when=" + std::to_string(counts["fsync"]),
                                       "mkdir:when=2"};
    // The last rename puts the output in place; the kill comes before it.
    for (int n = 1; n <= counts["rename"]; ++n) {
        points.push_back("rename:when=" + std::to_string(n));
    }
    for (const std::string& point : points) {
        const std::string call = point.substr(0, point.find(':'));
        scenario.Run("strace -f -qq -o /dev/null -e trace=" + call + " -e inject=" + point +
                     ":signal=KILL");
        EXPECT_TRUE(test::ReadFile(scenario.folder / "out/Plan.exe") == kOld) << point;
        EXPECT_EQ(scenario.Run(""), 0) << point;
        EXPECT_EQ(scenario.Leftovers(), std::set<std::string>()) << point;
        EXPECT_FALSE(test::ReadFile(scenario.folder / "out/Plan.exe") == kOld) << point;
    }
}

// Among the calls of `call` made by the traced program's first thread, the number (from 1) of
// the first whose line holds `holding`, made after a line holding `after`; 0 when none is.
int CallNumber(const std::string& traceText, const std::string& call, const std::string& after,
               const std::string& holding) {
    std::istringstream trace(traceText);
    std::string line;
    std::string mainThread;
    bool seen = after.empty();
    int number = 0;
    while (std::getline(trace, line)) {
        const std::string pid = line.substr(0, line.find(' '));
        if (mainThread.empty()) {
            mainThread = pid;
        }
        if (pid != mainThread) {
            continue;
        }
        const bool isCall = line.find(" " + call + "(") != std::string::npos;
        number += isCall ? 1 : 0;
        if (seen && isCall && line.find(holding) != std::string::npos) {
            return number;
        }
        seen = seen || line.find(after) != std::string::npos;
    }
    return 0;
}

TEST(CliFaults, TheTemporaryOutputTheIconStepAndTheCodePageReportWhatFailedAndWhy) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    const Scenario scenario;
    CountCalls(scenario);
    const std::string trace = test::ReadFile(scenario.folder / "trace");
    // Fails the numbered call with the error; returns what the run wrote (out, then err).
    const auto failing = [&](const std::string& call, int number, const std::string& error) {
        EXPECT_GT(number, 0) << call;
        const std::string when = std::to_string(number);
        scenario.Run("strace -f -qq -o /dev/null -e trace=" + call + " -e inject=" + call +
                     ":error=" + error + ":when=" + when);
        scenario.CheckRun(call + " #" + when);
        return test::ReadFile(scenario.folder / "stdout") +
               test::ReadFile(scenario.folder / "stderr");
    };
    // The temporary output cannot be created: the failure names the output.
    std::string said =
        failing("openat", CallNumber(trace, "openat", "", "\"out/.Plan.exe.{"), "ENOSPC");
    EXPECT_NE(said.find("failed: out/Plan.exe (writing out/Plan.exe: out/Plan.exe: No space left "
                        "on device)"),
              std::string::npos)
        << said;
    // The icon's rewritten executable cannot be synced: the warning says why.
    said = failing("fsync", CallNumber(trace, "fsync", "}.tmp\"", "fsync("), "EIO");
    EXPECT_NE(said.find("(Resource update error: [] EndUpdateResource failed: Input/output "
                        "error); the output keeps the player's icon"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("converted: out/Plan.exe"), std::string::npos);
    // The code page's converter cannot be loaded: the run says which converter.
    said = failing("openat", CallNumber(trace, "openat", "", "/gconv/CP"), "EIO");
    EXPECT_NE(said.find(" cannot be opened (the system has none, or could not load it): "),
              std::string::npos)
        << said;
}

TEST(CliFaults, EachFailedLockIsReportedWithTheSystemsText) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    const Scenario scenario;
    const int locks = CountCalls(scenario)["flock"];
    ASSERT_GT(locks, 0);
    for (int n = 1; n <= locks; ++n) {
        const std::string what = "flock #" + std::to_string(n);
        scenario.Run("strace -f -qq -o /dev/null -e trace=flock -e inject=flock:error=EIO:when=" +
                     std::to_string(n));
        scenario.CheckRun(what);
        const std::string said =
            test::ReadFile(scenario.folder / "stdout") + test::ReadFile(scenario.folder / "stderr");
        EXPECT_EQ(said.find("File exists"), std::string::npos) << what << ": " << said;
        if (said.find("failed") != std::string::npos) {
            EXPECT_NE(said.find("Input/output error"), std::string::npos) << what << ": " << said;
        }
    }
}

TEST(CliFaults, AKilledAutorunRunNeverLeavesAnAutorunFileWithoutItsExecutable) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    TestFolder folder;
    fs::create_directories(folder / "out");
    fs::create_directories(folder / "tmp");
    test::WriteFile(folder / "Plan.doc", test::RandomBytes(20000, 9));
    const auto run = [&](const std::string& prefix) {
        fs::remove_all(folder / "out/Plan");
        const std::string command = "cd '" + folder.path() +
                                    "' && ASAN_OPTIONS=detect_leaks=0 TMPDIR='" + folder / "tmp" +
                                    "' " + prefix + " '" + QUORLIX_CLI_PATH +
                                    "' convert --autorun --output-folder out Plan.doc"
                                    " >stdout 2>stderr";
        return std::system(command.c_str());
    };
    ASSERT_EQ(run("strace -f -qq -o trace -e trace=rename"), 0);
    std::istringstream trace(test::ReadFile(folder / "trace"));
    int renames = 0;
    for (std::string line; std::getline(trace, line);) {
        renames += line.find("rename(") != std::string::npos ? 1 : 0;
    }
    ASSERT_GE(renames, 2);
    for (int n = 1; n <= renames; ++n) {
        run("strace -f -qq -o /dev/null -e trace=rename -e inject=rename:signal=KILL:when=" +
            std::to_string(n));
        if (fs::exists(folder / "out/Plan/Autorun.inf")) {
            ASSERT_TRUE(fs::exists(folder / "out/Plan/Plan.exe")) << "rename #" << n;
            EXPECT_EQ(
                test::ReadBack(test::ReadFile(folder / "out/Plan/Plan.exe")).package.entries.size(),
                5u)
                << "rename #" << n;
        }
    }
}

// A batch of two documents with older outputs in place, run with a prefix (strace ...).
class BatchScenario {
public:
    BatchScenario() {
        fs::create_directories(folder / "out");
        fs::create_directories(folder / "tmp");
        test::WriteFile(folder / "One.doc", test::RandomBytes(30000, 3));
        test::WriteFile(folder / "Two.doc", test::RandomBytes(40000, 4));
    }

    int Run(const std::string& prefix) const {
        test::WriteFile(folder / "out/One.exe", kOld);
        test::WriteFile(folder / "out/Two.exe", kOld);
        const std::string command = "cd '" + folder.path() +
                                    "' && ASAN_OPTIONS=detect_leaks=0 TMPDIR='" + folder / "tmp" +
                                    "' " + prefix + " '" + QUORLIX_CLI_PATH +
                                    "' convert --output-folder out One.doc Two.doc"
                                    " >stdout 2>stderr";
        return std::system(command.c_str());
    }

    // Names left in the output folder besides the two outputs.
    std::set<std::string> Leftovers() const {
        std::set<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder / "out")) {
            const std::string name = entry.path().filename().string();
            if (name != "One.exe" && name != "Two.exe") {
                left.insert(name);
            }
        }
        return left;
    }

    TestFolder folder;
};

// The process (the program's first thread) and the thread of each line of a strace -f trace.
std::string ThreadOf(const std::string& line) {
    return line.substr(0, line.find(' '));
}

TEST(CliFaults, AKillBetweenAFinishedOutputAndItsRenameOnTheCommittingThreadLeavesTheOldOne) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    const BatchScenario scenario;
    // The first output is synced and renamed on a thread of its own while the second converts;
    // the last is put in place by the program's first thread.
    ASSERT_EQ(scenario.Run("strace -f -qq -y -o trace -e trace=execve,fsync,rename"), 0);
    std::istringstream trace(test::ReadFile(scenario.folder / "trace"));
    std::string mainThread;
    std::map<std::string, std::string> threadOf;
    for (std::string line; std::getline(trace, line);) {
        if (mainThread.empty()) {
            mainThread = ThreadOf(line);
        }
        for (const std::string output : {"One.exe", "Two.exe"}) {
            if (line.find(" fsync(") != std::string::npos &&
                line.find(output) != std::string::npos) {
                threadOf["fsync " + output] = ThreadOf(line);
            }
            if (line.find(" rename(") != std::string::npos &&
                line.find(", \"out/" + output) != std::string::npos) {
                threadOf["rename " + output] = ThreadOf(line);
            }
        }
    }
    ASSERT_EQ(threadOf.size(), 4u) << test::ReadFile(scenario.folder / "trace");
    EXPECT_NE(threadOf["fsync One.exe"], mainThread);
    EXPECT_EQ(threadOf["rename One.exe"], threadOf["fsync One.exe"]);
    EXPECT_EQ(threadOf["fsync Two.exe"], mainThread);
    EXPECT_EQ(threadOf["rename Two.exe"], mainThread);

    // The counts are kept per thread: the committing thread's first sync and first rename are
    // the first output's, and they come before any of the first thread's.
    for (const std::string point : {"fsync:when=1", "rename:when=1"}) {
        const std::string call = point.substr(0, point.find(':'));
        scenario.Run("strace -f -qq -o /dev/null -e trace=" + call + " -e inject=" + point +
                     ":signal=KILL");
        EXPECT_TRUE(test::ReadFile(scenario.folder / "out/One.exe") == kOld) << point;
        EXPECT_TRUE(test::ReadFile(scenario.folder / "out/Two.exe") == kOld) << point;
        EXPECT_EQ(test::ReadFile(scenario.folder / "stdout"), "") << point;
        EXPECT_EQ(scenario.Run(""), 0) << point;
        EXPECT_EQ(scenario.Leftovers(), std::set<std::string>()) << point;
        EXPECT_EQ(test::ReadFile(scenario.folder / "stdout"),
                  "converted: out/One.exe\nconverted: out/Two.exe\nConvert finished!\n");
        EXPECT_EQ(
            test::ReadBack(test::ReadFile(scenario.folder / "out/One.exe")).package.entries.size(),
            5u);
    }

    // A sync that fails on the committing thread fails that document with its cause; its
    // temporary output goes and its older output stays. The first thread's first sync (the
    // second output's) fails the same way.
    EXPECT_EQ(
        scenario.Run("strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:error=EIO:when=1"),
        1 << 8);
    const std::string out = test::ReadFile(scenario.folder / "stdout");
    EXPECT_NE(out.find("failed: out/One.exe (replacing out/One.exe: out/One.exe: Input/output "
                       "error)"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("converted:"), std::string::npos) << out;
    EXPECT_TRUE(test::ReadFile(scenario.folder / "out/One.exe") == kOld);
    EXPECT_TRUE(test::ReadFile(scenario.folder / "out/Two.exe") == kOld);
    EXPECT_EQ(scenario.Leftovers(), std::set<std::string>());
}

TEST(CliTemporarySpace, AGibibyteDocumentConvertsWithATemporaryFolderOf256MiB) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    fs::create_directories(folder / "tmp");
    const std::string probe = "unshare -rm mount -t tmpfs -o size=1m quorlix-tmp '" +
                              folder / "tmp" + "' >/dev/null 2>&1";
    if (std::system(probe.c_str()) != 0) {
        GTEST_SKIP() << "no small file system can be mounted here for the temporary folder";
    }
    // A sparse document of 1 GiB with bytes of its own at both ends.
    const std::string document = folder / "Big.doc";
    test::WriteFile(document, test::RandomBytes(4096, 8));
    fs::resize_file(document, std::uint64_t{1} << 30);
    {
        std::FILE* end = std::fopen(document.c_str(), "r+b");
        ASSERT_NE(end, nullptr);
        std::fseek(end, -5, SEEK_END);
        std::fputs("tail.", end);
        std::fclose(end);
    }
    // The temporary folder is a 256 MiB file system of its own, in a mount namespace that goes
    // with the run; it is measured once the run is over.
    const std::string command =
        "cd '" + folder.path() +
        "' && unshare -rm sh -c 'mount -t tmpfs -o size=256m quorlix-tmp tmp && "
        "TMPDIR=\"$PWD/tmp\" \"$0\" convert --output-folder out Big.doc >stdout 2>stderr; "
        "status=$?; df -k tmp | tail -1 >tmp-used; exit $status' '" +
        QUORLIX_CLI_PATH + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << test::ReadFile(folder / "stderr");
    EXPECT_EQ(test::ReadFile(folder / "stdout"), "converted: out/Big.exe\nConvert finished!\n");
    std::istringstream used(test::ReadFile(folder / "tmp-used"));
    std::string device;
    std::uint64_t sizeKiB = 0;
    std::uint64_t usedKiB = 0;
    used >> device >> sizeKiB >> usedKiB;
    EXPECT_EQ(sizeKiB, 256u * 1024);
    EXPECT_LT(usedKiB, 64u) << "nothing of the run is left in the temporary folder";

    // The output carries the staged copy of the 1 GiB document: read back from its end.
    const std::uint64_t staged = StageDocument(document)->size();
    const std::string output = folder / "out/Big.exe";
    const std::uint64_t size = fs::file_size(output);
    std::ifstream in(output, std::ios::binary);
    const auto tailAt = [&](std::uint64_t at, std::size_t count) {
        std::string bytes(count, '\0');
        in.seekg(static_cast<std::streamoff>(at));
        in.read(bytes.data(), static_cast<std::streamsize>(count));
        return bytes;
    };
    const std::uint32_t packageSize = test::LE32At(tailAt(size - 260, 4), 0);
    const std::uint64_t packageStart = size - 260 - packageSize;
    EXPECT_EQ(test::LE32At(tailAt(packageStart - 4, 4), 0), staged + 4);
    const std::uint64_t section = packageStart - 4 - staged;
    EXPECT_EQ(test::Unscrambled(tailAt(section, 8)), std::string("BDOC\x01\0\0\0", 8));
    const std::string package = tailAt(packageStart, packageSize);
    EXPECT_EQ(test::ReadPackageEndingAt(package, package.size()).entries.size(), 5u);
}

}  // namespace
}  // namespace quorlix

namespace quorlix {
namespace {

TEST(CliOutputs, AFailedWriteOfStandardOutputExitsWithAMessage) {
    TestFolder folder;
    const std::string command =
        "'" + std::string(QUORLIX_CLI_PATH) + "' --help >/dev/full 2>'" + folder / "stderr" + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(test::ReadFile(folder / "stderr"),
              "quorlix-cli: standard output could not be written\n");
}

TEST(CliOutputs, SigtermEndsARunAsCtrlCDoes) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    const Scenario scenario;
    std::map<std::string, int> counts = CountCalls(scenario);
    // SIGTERM arrives while the output is being written; the run ends at the next chunk.
    const int status = scenario.Run(
        "strace -f -qq -o /dev/null -e trace=write -e "
        "inject=write:signal=TERM:when=" +
        std::to_string(counts["write"] / 2));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
    EXPECT_TRUE(test::ReadFile(scenario.folder / "out/Plan.exe") == kOld);
    EXPECT_EQ(scenario.Leftovers(), std::set<std::string>());
}

}  // namespace
}  // namespace quorlix
