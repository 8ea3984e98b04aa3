#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string_view>

#include "cli/console_progress.h"
#include "common/byte_order.h"
#include "common/embedded_document.h"
#include "conversion/conversion_job.h"
#include "platform/ansi_code_page.h"
#include "platform/installed_fonts.h"
#include "platform/temp_folder.h"
#include "support/cli_output.h"
#include "support/scoped_environment.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::RunCliWith;
using test::TestFolder;

const std::string kWinoptions = "option\\winoptions.dll";

// The names in a folder, sorted.
std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A job step hook that runs an action once, at the first step named last after the steps
// named before it, in order.
class StepAction : public WriteStepHook {
public:
    StepAction(std::vector<std::string> steps, std::function<void()> action)
        : steps_(std::move(steps)), action_(std::move(action)) {}

    void Before(std::string_view step) override {
        if (next_ < steps_.size() && step == steps_[next_] && ++next_ == steps_.size()) {
            done = true;
            action_();
        }
    }

    bool done = false;

private:
    std::vector<std::string> steps_;
    std::function<void()> action_;
    std::size_t next_ = 0;
};

// Per-run folders ({GUID}) left under the temporary folder's dorvane folder.
std::set<std::string> RunFolders() {
    std::set<std::string> names;
    const std::string dorvane = TempFolderPath() + "dorvane";
    if (fs::exists(dorvane)) {
        for (const std::string& name : Listing(dorvane)) {
            if (name.starts_with("{")) {
                names.insert(name);
            }
        }
    }
    return names;
}

// The original document carried by an output executable, taken out of its staged copy.
EmbeddedDocument DocumentOf(const test::ReadOutput& output) {
    const std::string& stream = output.document;
    EXPECT_EQ(stream.substr(0, 8), std::string("BDOC\x01\0\0\0", 8));
    EXPECT_EQ(test::LE32At(stream, 8), stream.size() - 12);
    return ExtractDocument(
        std::span(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()));
}

std::string DataOf(const EmbeddedDocument& document) {
    return std::string(document.data.begin(), document.data.end());
}

TEST(CliConvert, InputChecksRunInOrderAndStopBeforeAnythingIsWritten) {
    TestFolder folder;
    fs::create_directories(folder / "empty");
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "Plan.doc", "plan");
    const std::set<std::string> runFoldersBefore = RunFolders();
    const std::string hint = "\nRun 'quorlix-cli convert --help' for usage.\n";

    // Image watermark without its file, empty list and no output folder: the watermark only.
    CliRun run = RunCliWith({"convert", "--set", "watertype=2", "--set",
                             "waterimagefile=" + folder / "missing.png", folder / "empty"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quorlix-cli convert: the watermark image '" + folder / "missing.png" +
                           "' does not exist (watertype=2 needs waterimagefile)" + hint);
    EXPECT_EQ(run.out, "");

    // Empty list (a folder without documents, or nothing at all) and no output folder.
    run = RunCliWith({"convert", folder / "empty"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "quorlix-cli convert: no Word documents (.doc, .docx) in the folders given" + hint);
    run = RunCliWith({"convert", "--output-folder", folder / "out"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(
        run.err,
        "quorlix-cli convert: no documents given (name .doc or .docx files, or folders)" + hint);

    // Documents, but no output folder, one that does not exist, or a file; a text watermark
    // needs no file.
    run = RunCliWith({"convert", "--set", "watertype=1", folder / "Plan.doc"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quorlix-cli convert: no output folder given (--output-folder DIR)" + hint);
    run = RunCliWith({"convert", "--output-folder", folder / "nowhere", folder / "Plan.doc"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quorlix-cli convert: output folder '" + folder / "nowhere" +
                           "/': No such file or directory" + hint);
    run = RunCliWith({"convert", "--output-folder", folder / "Plan.doc", folder / "Plan.doc"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quorlix-cli convert: output folder '" + folder / "Plan.doc" +
                           "/': Not a directory" + hint);
    EXPECT_EQ(test::ReadFile(folder / "Plan.doc"), "plan");
    EXPECT_TRUE(Listing(folder / "out").empty());
    EXPECT_FALSE(fs::exists(folder / "nowhere"));
    EXPECT_EQ(RunFolders(), runFoldersBefore);
}

TEST(CliConvert, AnOutputFolderThatRefusesNewFilesIsNamedWithTheSystemsText) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser writes into any folder";
    }
    TestFolder folder;
    fs::create_directories(folder / "locked");
    test::WriteFile(folder / "Plan.doc", "plan");
    fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const CliRun run =
        RunCliWith({"convert", "--output-folder", folder / "locked", folder / "Plan.doc"});
    fs::permissions(folder / "locked", fs::perms::owner_all);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quorlix-cli convert: output folder '" + folder / "locked" +
                           "/': Permission denied\nRun 'quorlix-cli convert --help' for usage.\n");
    EXPECT_TRUE(Listing(folder / "locked").empty());
}

TEST(CliConvert, BadOptionsAndArgumentsAreUsageErrorsThatNameThem) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "Plan.doc", "plan");
    test::WriteFile(folder / "notes.txt", "notes");
    const std::vector<std::string> base = {"convert", "--output-folder", folder / "out"};
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--set", "opbogus=1"}, "Unknown option field \"opbogus\""},
        {{"--set", "opwidth=wide"}, "Option field \"opwidth\" cannot hold \"wide\""},
        {{"--set", "opmax=yes"}, "Option field \"opmax\""},
        {{"--set", "opwidth"}, "--set needs NAME=VALUE, not 'opwidth'"},
        {{"--embed-font", "No Such Font (TrueType)"},
         "no installed font is called 'No Such Font (TrueType)'"},
        {{folder / "notes.txt"}, "'" + folder / "notes.txt" + "' is not a Word document"},
        {{folder / "gone.doc"}, "'" + folder / "gone.doc" + "' does not exist"},
    };
    for (const auto& [extra, message] : cases) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(folder / "Plan.doc");
        const CliRun run = RunCliWith(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_TRUE(run.err.starts_with("quorlix-cli convert: " + message)) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(Listing(folder / "out").empty());
}

TEST(CliConvert, EachTextThatLosesCharactersToTheAnsiCodePageIsAWarningNamingItsField) {
    const test::ScopedEnvironment locale("LC_ALL", "C");  // code page 1252
    TestFolder folder;
    fs::create_directories(folder / "out");
    const std::string russian = "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82";  // Отчёт
    test::WriteFile(folder / (russian + ".doc"), "report");
    test::WriteFile(folder /
                        "Gr\xC3\xBC\xC3\x9F"
                        "e.doc",
                    "greeting");
    const CliRun run =
        RunCliWith({"convert", "--output-folder", folder / "out", "--set", "watertype=1", "--set",
                    "watertext=" + russian + " 1", "--set",
                    "opfiletitle=-\xE2\x82\xAC ok \xE2\x98\x85", folder / (russian + ".doc"),
                    folder / "Gr\xC3\xBC\xC3\x9F"
                             "e.doc"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The euro sign is in the code page, the star is not; "Grüße" travels whole.
    EXPECT_EQ(run.err,
              "quorlix-cli convert: warning: document name \"" + russian +
                  ".doc\" loses characters in ANSI code page 1252: written as \"?????.doc\"\n"
                  "quorlix-cli convert: warning: opfiletitle \"-\xE2\x82\xAC ok \xE2\x98\x85\" "
                  "loses characters in ANSI code page 1252: written as \"-\xE2\x82\xAC ok ?\"\n"
                  "quorlix-cli convert: warning: watertext \"" +
                  russian +
                  " 1\" loses characters in ANSI code page 1252: written as \"????? 1\"\n");
    // The bytes written are the ones the warnings show.
    const test::ReadOutput output =
        test::ReadBack(test::ReadFile(folder / "out/" + russian + ".exe"));
    for (const test::ReadEntry& entry : output.package.entries) {
        if (entry.name == kWinoptions) {
            EXPECT_TRUE(
                entry.content.starts_with("?????"
                                          "-\x80 ok ?\r\n"))
                << entry.content;
        }
        if (entry.name == "option\\wateroptions.dll") {
            EXPECT_NE(entry.content.find("\r\n????? 1\r\n"), std::string::npos);
        }
    }
    // Nothing lost, nothing said.
    const CliRun plain = RunCliWith({"convert", "--output-folder", folder / "out",
                                     folder / "Gr\xC3\xBC\xC3\x9F"
                                              "e.doc"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
}

TEST(CliConvert, OutputNamesWithAndWithoutAutorunAndTheOptionsTheyCarry) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    const std::string document = folder / "report.final.doc";
    const std::string content = test::RandomBytes(70000, 3);
    test::WriteFile(document, content);

    // No trailing '/' on the output folder: it gets one.
    CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", "--set", "opwidth=800",
                             "--set", "opfiletitle= (draft)", document});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string plain = folder / "out/report.final.exe";
    EXPECT_EQ(run.out, "converted: " + plain + "\nConvert finished!\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Listing(folder / "out"), (std::set<std::string>{"report.final.exe"}));
    const test::ReadOutput output = test::ReadBack(test::ReadFile(plain));
    const std::vector<std::string> lines =
        test::OptionLines(test::EntryContent(output.package, kWinoptions));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "report.final (draft)");
    EXPECT_EQ(lines[1], "800");
    EXPECT_EQ(lines[2], "480");
    const EmbeddedDocument embedded = DocumentOf(output);
    EXPECT_EQ(embedded.ansiName, "report.final.doc");
    EXPECT_EQ(DataOf(embedded), content);

    run = RunCliWith({"convert", "--output-folder", folder / "out/", "--autorun", document});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string autorun = folder / "out/report.final/report.final.exe";
    EXPECT_EQ(run.out, "converted: " + autorun + "\nConvert finished!\n");
    EXPECT_EQ(Listing(folder / "out/report.final"),
              (std::set<std::string>{"Autorun.inf", "report.final.exe"}));
    EXPECT_EQ(DataOf(DocumentOf(test::ReadBack(test::ReadFile(autorun)))), content);
}

TEST(CliConvert, TwoDocumentsOfOneNameLeaveOneExecutableTheSecond) {
    TestFolder folder;
    fs::create_directories(folder / "a");
    fs::create_directories(folder / "b");
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "a/Plan.doc", "first plan");
    test::WriteFile(folder / "b/Plan.docx", "second plan");

    const CliRun run =
        RunCliWith({"convert", "--output-folder", folder / "out", folder / "a/Plan.doc",
                    folder / "b/Plan.docx", folder / "a/Plan.doc"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string exe = folder / "out/Plan.exe";
    // The path given twice is converted once.
    EXPECT_EQ(run.out, "converted: " + exe + "\nconverted: " + exe + "\nConvert finished!\n");
    EXPECT_EQ(Listing(folder / "out"), (std::set<std::string>{"Plan.exe"}));
    const EmbeddedDocument embedded = DocumentOf(test::ReadBack(test::ReadFile(exe)));
    EXPECT_EQ(embedded.ansiName, "Plan.docx");
    EXPECT_EQ(DataOf(embedded), "second plan");
}

TEST(CliConvert, OneDocumentNamedSeveralWaysIsConvertedOnce) {
    TestFolder folder;
    fs::create_directories(folder / "b");
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "One.doc", "one");
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    const CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", "One.doc",
                                   "./One.doc", folder.path() + "/b/../One.doc", "."});
    fs::current_path(before);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "converted: " + folder / "out/One.exe" + "\nConvert finished!\n");
}

TEST(CliConvert, AutorunOutputThatCannotBeDeletedFailsAndTheNextDocumentConverts) {
    TestFolder folder;
    fs::create_directories(folder / "out/One/One.exe");  // a folder where the output goes
    test::WriteFile(folder / "out/One/One.exe/keep", "keep");
    test::WriteFile(folder / "One.doc", "one");
    test::WriteFile(folder / "Two.docx", "two");

    const CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", "--autorun",
                                   folder / "One.doc", folder / "Two.docx"});
    EXPECT_EQ(run.status, 1);
    const std::string one = folder / "out/One/One.exe";
    const std::string two = folder / "out/Two/Two.exe";
    const std::string cause = " (replacing the old output: " + one + ": Is a directory)";
    EXPECT_EQ(run.out, "failed: " + one + cause + "\nconverted: " + two + "\n");
    EXPECT_EQ(run.err,
              "Following EXE have not been generated.\n"
              "Please check the source file and target EXE file, if they are open by other\n"
              "Applications. If yes, please close them and convert again.\n" +
                  one + cause + "\n");
    EXPECT_EQ(test::ReadFile(folder / "out/One/One.exe/keep"), "keep");
    EXPECT_EQ(Listing(folder / "out/One"), (std::set<std::string>{"One.exe"}));
    EXPECT_EQ(DataOf(DocumentOf(test::ReadBack(test::ReadFile(two)))), "two");
}

TEST(CliConvert, AnAutorunSubfolderThatIsALinkIsRefusedAndNothingIsWrittenThroughIt) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    fs::create_directories(folder / "elsewhere");
    fs::create_directory_symlink("../elsewhere", folder / "out/Plan");
    test::WriteFile(folder / "Plan.doc", "plan");
    test::WriteFile(folder / "Memo.doc", "memo");

    const CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", "--autorun",
                                   folder / "Plan.doc", folder / "Memo.doc"});
    EXPECT_EQ(run.status, 1);
    const std::string plan = folder / "out/Plan/Plan.exe";
    EXPECT_NE(run.out.find("failed: " + plan + " (the folder " + folder / "out/Plan" +
                           " is a symbolic link; an output is never written through a link)\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("converted: " + folder / "out/Memo/Memo.exe"), std::string::npos);
    EXPECT_TRUE(Listing(folder / "elsewhere").empty());
    EXPECT_TRUE(fs::is_symlink(folder / "out/Plan"));
}

TEST(CliConvert, NamesUpToTheLongestFileNameConvertWithAndWithoutAutorun) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    // 255 bytes, the longest name: in one-byte characters, and in two-byte ones after one byte.
    std::string accents = "a";
    for (int i = 0; i < 125; ++i) {
        accents += "\xC3\xA9";
    }
    for (const std::string& base : {std::string(251, 'p'), std::string(211, 'q'), accents}) {
        const std::string document = folder / (base + ".doc");
        test::WriteFile(document, "long " + base);
        const CliRun run = RunCliWith(
            {"convert", "--output-folder", folder / "out", "--set", "changeicon=1", "--set",
             std::string("iconfilename=") + QUORLIX_DEFAULT_ICON_PATH, document});
        ASSERT_EQ(run.status, 0) << base.size() << run.out << run.err;
        EXPECT_EQ(run.err, "");
        const std::string exe = folder / "out" + "/" + base + ".exe";
        EXPECT_EQ(DataOf(DocumentOf(test::ReadBack(test::ReadFile(exe)))), "long " + base);

        const CliRun autorun =
            RunCliWith({"convert", "--output-folder", folder / "out", "--autorun", document});
        ASSERT_EQ(autorun.status, 0) << base.size() << autorun.out << autorun.err;
        EXPECT_EQ(Listing(folder / "out" + "/" + base),
                  (std::set<std::string>{"Autorun.inf", base + ".exe"}));
        EXPECT_EQ(
            test::ReadFile(folder / "out" + "/" + base + "/Autorun.inf"),
            "[AutoRun]\r\nicon=" + ToAnsi(base) + ".exe,0\r\nopen=" + ToAnsi(base) + ".exe\r\n");
    }
    EXPECT_EQ(Listing(folder / "out").size(), 6u);
}

TEST(CliConvert, FolderArgumentAddsOnlyItsOwnWordDocuments) {
    TestFolder folder;
    const std::string docs = folder / "docs";
    fs::create_directories(docs + "/e");
    fs::create_directories(folder / "out");
    for (const char* name : {"a.doc", "~$a.doc", "b.DOCX", "c.txt", "d", "x.do", "e/f.doc"}) {
        test::WriteFile(docs + "/" + name, name);
    }
    const CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", docs});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Listing(folder / "out"), (std::set<std::string>{"a.exe", "b.exe"}));
    EXPECT_NE(run.out.find("converted: " + folder / "out/a.exe\n"), std::string::npos);
    EXPECT_NE(run.out.find("converted: " + folder / "out/b.exe\n"), std::string::npos);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3) << run.out;
    EXPECT_EQ(DataOf(DocumentOf(test::ReadBack(test::ReadFile(folder / "out/b.exe")))), "b.DOCX");

    // A folder whose own path holds "~$" adds nothing.
    fs::create_directories(folder / "~$locked");
    test::WriteFile(folder / "~$locked/g.doc", "g");
    const CliRun locked =
        RunCliWith({"convert", "--output-folder", folder / "out", folder / "~$locked"});
    EXPECT_EQ(locked.status, 2);
    EXPECT_NE(locked.err.find("no Word documents (.doc, .docx) in the folders given"),
              std::string::npos);
}

TEST(CliConvert, EmbedFontAddsTheInstalledFontFile) {
    const std::vector<FontListEntry> fonts = ListInstalledFonts();
    if (fonts.empty() || fonts.front().fileEntry.find('|') != std::string::npos) {
        GTEST_SKIP() << "no single-file font is installed";
    }
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "Plan.doc", "plan");
    const CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", "--embed-font",
                                   fonts.front().displayName, folder / "Plan.doc"});
    ASSERT_EQ(run.status, 0) << run.err;
    const test::ReadOutput output = test::ReadBack(test::ReadFile(folder / "out/Plan.exe"));
    const std::string fontFile = fonts.front().fileEntry;
    const std::string entry = "myfont\\" + fontFile.substr(fontFile.rfind('/') + 1);
    EXPECT_EQ(test::EntryContent(output.package, entry), test::ReadFile(fontFile));
}

// Answers SIGINT for the length of a test, so that a late signal cannot end the test program.
class TestInterruptHandler {
public:
    TestInterruptHandler() {
        struct sigaction action {};
        action.sa_handler = Ignore;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previous_);
    }
    ~TestInterruptHandler() { ::sigaction(SIGINT, &previous_, nullptr); }

    static void Ignore(int) {}
    // True while this handler is SIGINT's.
    static bool Installed() {
        struct sigaction current {};
        ::sigaction(SIGINT, nullptr, &current);
        return current.sa_handler == Ignore;
    }

private:
    struct sigaction previous_ {};
};

TEST(CliConvert, InterruptStopsTheRunAndRemovesThePartialOutput) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "First.doc", "first");
    test::WriteFile(folder / "Second.doc", "second");
    test::WriteFile(folder / "big.ttf", test::RandomBytes(1 << 20, 9));
    const std::set<std::string> runFoldersBefore = RunFolders();
    const TestInterruptHandler handler;

    // Ctrl-C while Second.exe is being written, as its package starts.
    StepAction interrupt({"writing " + folder / "out/Second.exe", "appending the package"},
                         [] { ::kill(::getpid(), SIGINT); });
    const JobStepHookScope steps(interrupt);
    const CliRun run = RunCliWith(
        {"convert", "--output-folder", folder / "out", "--set", "embedfonts=1", "--set",
         "embedfontlist=Big=" + folder / "big.ttf", folder / "First.doc", folder / "Second.doc"});
    EXPECT_TRUE(interrupt.done);

    EXPECT_EQ(run.status, 130) << run.out << run.err;
    EXPECT_TRUE(TestInterruptHandler::Installed()) << "the previous handler is back";
    EXPECT_EQ(run.out, "converted: " + folder / "out/First.exe\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Listing(folder / "out"), (std::set<std::string>{"First.exe"}));
    EXPECT_EQ(RunFolders(), runFoldersBefore);
}

TEST(CliConvert, ProgressBarShowsNameKibAndPercentageOnOneLine) {
    std::ostringstream bar;
    ConsoleProgress progress(&bar);
    progress.SetDocumentName("Plan.doc");
    progress.StageReached(JobStage::Writing, "Plan.exe");
    EXPECT_EQ(bar.str(), "") << "nothing before the first report";
    progress.WorkMeasured(200);
    progress.AddProgress(61440);
    progress.ShowStreamProgress(40960);
    EXPECT_EQ(bar.str(),
              "\rPlan.doc  60 of 200 KiB  30%\x1b[K\rPlan.doc  100 of 200 KiB  50%\x1b[K");
    progress.ClearBar();
    EXPECT_TRUE(bar.str().ends_with("50%\x1b[K\r\x1b[K"));
    EXPECT_FALSE(progress.CancelRequested());

    ConsoleProgress quiet(nullptr);
    quiet.WorkMeasured(10);
    quiet.AddProgress(4096);
    EXPECT_EQ(quiet.PercentageText(), "40%");
}

TEST(CliConvert, DocumentThatCannotBeEmbeddedFailsAndTheRunGoesOn) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "First.doc", "first");
    test::WriteFile(folder / "Second.doc", "second");
    test::WriteFile(folder / "Third.doc", "third");
    test::WriteFile(folder / "big.ttf", test::RandomBytes(1 << 20, 4));
    const std::set<std::string> runFoldersBefore = RunFolders();

    // Second.doc goes away while First.doc is being converted.
    const std::string first = folder / "out/First.exe";
    StepAction remove({"writing " + first, "appending the document"},
                      [&] { fs::remove(folder / "Second.doc"); });
    const JobStepHookScope steps(remove);
    const CliRun run =
        RunCliWith({"convert", "--output-folder", folder / "out", "--set", "embedfonts=1", "--set",
                    "embedfontlist=Big=" + folder / "big.ttf", folder / "First.doc",
                    folder / "Second.doc", folder / "Third.doc"});
    EXPECT_TRUE(remove.done);

    EXPECT_EQ(run.status, 1);
    const std::string second = folder / "out/Second.exe";
    const std::string cause =
        "embedding the document: " + folder / "Second.doc" + ": No such file or directory";
    EXPECT_EQ(run.out, "converted: " + first + "\nfailed: " + second + " (" + cause +
                           ")\nconverted: " + folder / "out/Third.exe" + "\n");
    EXPECT_TRUE(run.err.ends_with(second + " (" + cause + ")\n")) << run.err;
    EXPECT_EQ(Listing(folder / "out"), (std::set<std::string>{"First.exe", "Third.exe"}));
    EXPECT_EQ(RunFolders(), runFoldersBefore);
}

// A small but well-formed .docx: a zip archive with stored members.
std::string MinimalDocx() {
    const std::vector<std::pair<std::string, std::string>> members = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
        {"word/document.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
         "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
         "<w:body><w:p><w:r><w:t>Hello from the test.</w:t></w:r></w:p></w:body></w:document>"},
    };
    auto le16 = [](std::string& s, std::uint32_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    auto le32 = [&](std::string& s, std::uint32_t v) {
        le16(s, v & 0xFFFF);
        le16(s, v >> 16);
    };
    std::string zip;
    std::string central;
    for (const auto& [name, data] : members) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        const auto offset = static_cast<std::uint32_t>(zip.size());
        for (std::string* header : {&zip, &central}) {
            le32(*header, header == &zip ? 0x04034b50 : 0x02014b50);
            if (header == &central) {
                le16(*header, 20);
            }
            for (std::uint32_t v : {20u, 0u, 0u, 0u, 0u}) {
                le16(*header, v);  // version, flags, method stored, time, date
            }
            le32(*header, crc);
            le32(*header, static_cast<std::uint32_t>(data.size()));
            le32(*header, static_cast<std::uint32_t>(data.size()));
            le16(*header, static_cast<std::uint32_t>(name.size()));
            le16(*header, 0);
            if (header == &central) {
                for (std::uint32_t v : {0u, 0u, 0u}) {
                    le16(*header, v);  // comment length, disk, internal attributes
                }
                le32(*header, 0);  // external attributes
                le32(*header, offset);
            }
            *header += name;
        }
        zip += data;
    }
    const auto centralOffset = static_cast<std::uint32_t>(zip.size());
    zip += central;
    le32(zip, 0x06054b50);
    le32(zip, 0);
    le16(zip, static_cast<std::uint32_t>(members.size()));
    le16(zip, static_cast<std::uint32_t>(members.size()));
    le32(zip, static_cast<std::uint32_t>(central.size()));
    le32(zip, centralOffset);
    le16(zip, 0);
    return zip;
}

// Runs a program with the arguments, its outputs into files; returns its exit status.
int RunProgram(const std::vector<std::string>& args, const std::string& out,
               const std::string& err) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliConvert, BuiltProgramConvertsADocxEndToEnd) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    const std::string docx = MinimalDocx();
    test::WriteFile(folder / "Guide.docx", docx);

    const int status = RunProgram({QUORLIX_CLI_PATH, "convert", "--output-folder", folder / "out",
                                   "--autorun", "--set", "opheigh=600", folder / "Guide.docx"},
                                  folder / "stdout", folder / "stderr");
    ASSERT_EQ(status, 0) << test::ReadFile(folder / "stderr");
    EXPECT_EQ(test::ReadFile(folder / "stdout"),
              "converted: " + folder / "out/Guide/Guide.exe\nConvert finished!\n");
    EXPECT_EQ(test::ReadFile(folder / "stderr"), "");

    const std::string bytes = test::ReadFile(folder / "out/Guide/Guide.exe");
    EXPECT_EQ(bytes.substr(0, 2), "MZ");
    const test::ReadOutput output = test::ReadBack(bytes);
    std::vector<std::string> names;
    for (const test::ReadEntry& entry : output.package.entries) {
        names.push_back(entry.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"option\\winsetbrower.dll",
                                               "option\\wateroptions.dll", kWinoptions,
                                               "option\\trmacke1.dll", "option\\trmacke2.dll"}));
    const std::vector<std::string> lines =
        test::OptionLines(test::EntryContent(output.package, kWinoptions));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Guide-This Word document will help you");
    EXPECT_EQ(lines[2], "600");
    const EmbeddedDocument embedded = DocumentOf(output);
    EXPECT_EQ(embedded.ansiName, "Guide.docx");
    EXPECT_EQ(DataOf(embedded), docx);
    EXPECT_TRUE(fs::exists(folder / "out/Guide/Autorun.inf"));
}

}  // namespace
}  // namespace quorlix

namespace quorlix {
namespace {

TEST(CliConvertInputs, NonRegularInputsAreRefusedWithoutBlockingAndNothingIsWritten) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "ok.doc", "ok");
    ASSERT_EQ(::mkfifo((folder / "a.doc").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder / "z.doc");
    ASSERT_EQ(::mkfifo((folder / "pic.png").c_str(), 0600), 0);

    for (const std::string& document : {folder / "a.doc", folder / "z.doc"}) {
        const CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", document});
        EXPECT_EQ(run.status, 2) << document;
        EXPECT_NE(run.err.find("'" + document + "' is not a regular file"), std::string::npos)
            << run.err;
    }
    const CliRun picture =
        RunCliWith({"convert", "--output-folder", folder / "out", "--set", "showfirstimage=1",
                    "--set", "firstimage=" + folder / "pic.png", folder / "ok.doc"});
    EXPECT_EQ(picture.status, 2);
    EXPECT_NE(picture.err.find("pic.png' is not a regular file"), std::string::npos);
    EXPECT_TRUE(Listing(folder / "out").empty());
}

TEST(CliConvertInputs, AnIconThatCannotBeAppliedIsAWarning) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "Plan.doc", "plan");
    test::WriteFile(folder / "bad.ico", "not an icon");
    const CliRun run =
        RunCliWith({"convert", "--output-folder", folder / "out", "--set", "changeicon=1", "--set",
                    "iconfilename=" + folder / "bad.ico", folder / "Plan.doc"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.rfind("quorlix-cli convert: warning: the icon " + folder / "bad.ico" +
                                " could not be applied (",
                            0),
              0u)
        << run.err;
    EXPECT_TRUE(fs::exists(folder / "out/Plan.exe"));
}

}  // namespace
}  // namespace quorlix

namespace quorlix {
namespace {

TEST(CliConvertOutputs, ALinkAtTheOutputPathIsReplacedNeverFollowed) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    fs::create_directories(folder / "outside");
    test::WriteFile(folder / "outside/victim.txt", "victim");
    fs::create_symlink("../outside/victim.txt", folder / "out/ok.exe");
    test::WriteFile(folder / "ok.doc", "ok");
    const CliRun run =
        RunCliWith({"convert", "--output-folder", folder / "out", folder / "ok.doc"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadFile(folder / "outside/victim.txt"), "victim");
    EXPECT_FALSE(fs::is_symlink(folder / "out/ok.exe"));
    EXPECT_EQ(DataOf(DocumentOf(test::ReadBack(test::ReadFile(folder / "out/ok.exe")))), "ok");
    EXPECT_EQ(Listing(folder / "out"), (std::set<std::string>{"ok.exe"}));
}

TEST(CliConvertOutputs, AFailedDocumentKeepsTheOlderOutputAndNamesTheCause) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "out/Plan.exe", "older output");
    test::WriteFile(folder / "Plan.doc", "plan");
    // A font file found in neither place fails the document while the package is written.
    const CliRun run =
        RunCliWith({"convert", "--output-folder", folder / "out", "--set", "embedfonts=1", "--set",
                    "embedfontlist=Gone=" + folder / "gone/none.ttf", folder / "Plan.doc"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(test::ReadFile(folder / "out/Plan.exe"), "older output");
    EXPECT_EQ(Listing(folder / "out"), (std::set<std::string>{"Plan.exe"}));
    EXPECT_NE(run.out.find("failed: " + folder / "out/Plan.exe (appending the package: "),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("No such file or directory)"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace quorlix
