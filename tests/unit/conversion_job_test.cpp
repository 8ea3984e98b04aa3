#include "conversion/conversion_job.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/progress_counters.h"
#include "package/output_assembly.h"
#include "platform/file.h"
#include "platform/file_byte_source.h"
#include "platform/temp_folder.h"
#include "signing/output_signer.h"
#include "signing/signature_check.h"
#include "support/cli_output.h"
#include "support/code_signing.h"
#include "support/output_steps.h"
#include "support/package_reading.h"
#include "support/pe_inspect.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

// The progress window without a window, with an optional cancel at the first copied chunk.
class JobSink : public ProgressCounters {
public:
    bool cancelAtFirstChunk = false;

    void AddProgress(std::uint32_t byteCount) override {
        ProgressCounters::AddProgress(byteCount);
        if (cancelAtFirstChunk) {
            RequestCancel();
        }
    }
};

std::vector<std::string> Names(const test::ReadPackage& package) {
    std::vector<std::string> names;
    for (const auto& e : package.entries) {
        names.push_back(e.name);
    }
    return names;
}

bool WorkFoldersLeft() {
    std::string temp = TempFolderPath();
    const fs::path folder = temp + "dorvane/temp";
    return fs::exists(folder) && !fs::is_empty(folder);
}

class ConversionJob : public ::testing::Test {
protected:
    TestFolder dir;
    ConversionPaths paths{dir / "docs/Plan.doc", dir / "stage/~~~.txt", dir / "out/Plan.exe",
                          dir / "fonts"};
    OptionSet options;
    JobSink sink;

    void SetUp() override {
        fs::create_directories(dir / "docs");
        fs::create_directories(dir / "stage");
        fs::create_directories(dir / "fonts");
        test::WriteFile(paths.sourcePath, test::RandomBytes(5000, 1));
    }
};

TEST_F(ConversionJob, DefaultOptionsGiveFiveOptionFilesAndTheDocument) {
    std::string cause;
    std::vector<int> pauses;
    const StepPause pause = [&](std::chrono::milliseconds wait) {
        pauses.push_back(static_cast<int>(wait.count()));
    };
    ASSERT_TRUE(RunConversion(options, paths, sink, cause, nullptr, pause)) << cause;
    EXPECT_EQ(sink.Stage(), JobStage::Finished);
    EXPECT_EQ(pauses, (std::vector<int>{100, 100, 100, 10}));
    EXPECT_EQ(sink.UpperLabel(), "");
    const std::string bytes = test::ReadFile(paths.outputPath);
    const test::ReadOutput out = test::ReadBack(bytes);
    EXPECT_EQ(out.document, test::ReadFile(paths.sourcePath));
    EXPECT_EQ(Names(out.package),
              (std::vector<std::string>{"option\\winsetbrower.dll", "option\\wateroptions.dll",
                                        "option\\winoptions.dll", "option\\trmacke1.dll",
                                        "option\\trmacke2.dll"}));
    EXPECT_EQ(test::EntryContent(out.package, "option\\winsetbrower.dll"),
              "~~~~~.txt\r\n0\r\n0\r\n");
    EXPECT_EQ(test::EntryContent(out.package, "option\\trmacke1.dll"), "0\r\n");
    const std::string winoptions = test::EntryContent(out.package, "option\\winoptions.dll");
    EXPECT_EQ(winoptions.substr(0, winoptions.find("\r\n")),
              "Plan-This Word document will help you");
    EXPECT_FALSE(WorkFoldersLeft());
    EXPECT_FALSE(fs::exists(dir / "out/Autorun.inf"));
}

TEST_F(ConversionJob, EverythingChosenStagesInTheFixedOrder) {
    test::WriteFile(dir / "water.jpg", "JPEGDATA");
    test::WriteFile(dir / "first.png", "FIRST");
    test::WriteFile(dir / "second.gif", "SECOND");
    test::WriteFile(dir / "fonts/a.pfm", "PFM");
    test::WriteFile(dir / "fonts/a.pfb", "PFB");
    test::WriteFile(dir / "b.ttf", "TTF");
    options.watertype = 2;
    options.waterimagefile = dir / "water.jpg";
    options.showfirstimage = true;
    options.firstimage = dir / "first.png";
    options.firstclick = 1;
    options.showsecondimage = true;
    options.secondimage = dir / "second.gif";
    options.embedfonts = true;
    options.embedfontlist = {{"A Type 1", "a.pfm|a.pfb"}, {"B Sans (TrueType)", dir / "b.ttf"}};

    ASSERT_TRUE(RunConversion(options, paths, sink));
    const test::ReadOutput out = test::ReadBack(test::ReadFile(paths.outputPath));
    EXPECT_EQ(
        Names(out.package),
        (std::vector<std::string>{
            "option\\winsetbrower.dll", "option\\wateroptionimage.dll", "option\\wateroptions.dll",
            "option\\winoptions.dll", "option\\2.gif", "option\\trmack2.dll", "option\\1.png",
            "option\\trmack1.dll", "myfont\\a.pfm", "myfont\\a.pfb", "myfont\\b.ttf",
            "option\\trmacke1.dll", "option\\trmacke2.dll"}));
    EXPECT_EQ(test::EntryContent(out.package, "option\\wateroptionimage.dll"), "JPEGDATA");
    EXPECT_EQ(test::EntryContent(out.package, "myfont\\a.pfb"), "PFB");
    EXPECT_EQ(test::EntryContent(out.package, "option\\winsetbrower.dll"),
              "~~~~~.txt\r\n1\r\n1\r\n");
    EXPECT_EQ(test::EntryContent(out.package, "option\\trmack1.dll"),
              "option\\1.png\r\n0\r\n0\r\n3\r\n1\r\n0\r\n");
    EXPECT_EQ(test::EntryContent(out.package, "option\\trmacke1.dll"),
              "1\r\nA Type 1\r\nB Sans (TrueType)\r\n");
    EXPECT_EQ(test::EntryContent(out.package, "option\\trmacke2.dll"),
              "1\r\na.pfm|a.pfb\r\nb.ttf\r\n");
    EXPECT_EQ(sink.ProgressMaximum(), 5) << "about 5 KiB staged";
}

TEST_F(ConversionJob, MissingPicturesCountAsNotChosen) {
    options.watertype = 2;
    options.waterimagefile = dir / "gone.jpg";
    options.showfirstimage = true;
    options.firstimage = dir / "gone.png";
    ASSERT_TRUE(RunConversion(options, paths, sink));
    const test::ReadOutput out = test::ReadBack(test::ReadFile(paths.outputPath));
    EXPECT_EQ(out.package.entries.size(), 5u);
    EXPECT_EQ(test::EntryContent(out.package, "option\\wateroptions.dll"), "0\r\n");
}

TEST_F(ConversionJob, SmallStagedSizeShowsNoProgress) {
    test::WriteFile(paths.sourcePath, "tiny");
    ASSERT_TRUE(RunConversion(options, paths, sink));
    EXPECT_EQ(sink.ProgressMaximum(), 0);
    EXPECT_EQ(sink.BarPosition(), 0);
    EXPECT_EQ(sink.PercentageText(), "");
}

TEST_F(ConversionJob, CancelDuringTheDocumentCopyRemovesEverything) {
    test::WriteFile(paths.sourcePath, test::RandomBytes(200000, 2));
    options.autorun = true;
    sink.cancelAtFirstChunk = true;
    EXPECT_FALSE(RunConversion(options, paths, sink));
    EXPECT_TRUE(sink.CancelRequested());
    EXPECT_EQ(sink.Stage(), JobStage::Finished);
    EXPECT_FALSE(fs::exists(paths.outputPath));
    EXPECT_FALSE(fs::exists(dir / "out/Autorun.inf"));
    EXPECT_FALSE(WorkFoldersLeft());
}

TEST_F(ConversionJob, ACancelRaisedBeforeTheJobStartsIsKept) {
    sink.RequestCancel();
    EXPECT_FALSE(RunConversion(options, paths, sink));
    EXPECT_TRUE(sink.CancelRequested()) << "the job reads the flag, never clears it";
    EXPECT_FALSE(fs::exists(paths.outputPath));
    EXPECT_FALSE(WorkFoldersLeft());
}

// Records the steps a job tells its hook.
class StepRecorder : public WriteStepHook {
public:
    std::vector<std::string> steps;
    void Before(std::string_view step) override { steps.emplace_back(step); }
};

TEST_F(ConversionJob, TellsTheStepHookEachStepInOrder) {
    StepRecorder recorder;
    {
        const JobStepHookScope scope(recorder);
        ASSERT_TRUE(RunConversion(options, paths, sink));
    }
    EXPECT_EQ(recorder.steps,
              (std::vector<std::string>{"making the work folder", "writing the option files",
                                        "writing " + paths.outputPath, "writing the option files",
                                        "appending the document", "appending the package",
                                        "appending the end marker", "checking the finished output",
                                        "replacing " + paths.outputPath}));
    recorder.steps.clear();
    ASSERT_TRUE(RunConversion(options, paths, sink));
    EXPECT_TRUE(recorder.steps.empty()) << "no hook once the scope is gone";
}

TEST_F(ConversionJob, ExistingOutputIsReplacedNotAppendedTo) {
    fs::create_directories(dir / "out");
    test::WriteFile(paths.outputPath, std::string(100000, 'x'));
    ASSERT_TRUE(RunConversion(options, paths, sink));
    const std::string bytes = test::ReadFile(paths.outputPath);
    EXPECT_EQ(bytes.substr(0, 2), "MZ");
    EXPECT_EQ(test::ReadBack(bytes).document, test::ReadFile(paths.sourcePath));
}

TEST_F(ConversionJob, UnreadableStagedFontFailsAndCleansUp) {
    options.embedfonts = true;
    options.embedfontlist = {{"Nowhere", "nowhere.ttf"}};
    EXPECT_FALSE(RunConversion(options, paths, sink));
    EXPECT_EQ(sink.Stage(), JobStage::Finished);
    EXPECT_FALSE(fs::exists(paths.outputPath));
    EXPECT_FALSE(WorkFoldersLeft());
}

TEST_F(ConversionJob, MissingSourceFailsWithoutOutput) {
    fs::remove(paths.sourcePath);
    EXPECT_FALSE(RunConversion(options, paths, sink));
    EXPECT_FALSE(fs::exists(paths.outputPath));
    EXPECT_FALSE(WorkFoldersLeft());
}

TEST_F(ConversionJob, AutorunFileBesideAnOutputInASubfolder) {
    paths.outputPath = dir / "out/Plan/Plan.exe";
    options.autorun = true;
    ASSERT_TRUE(RunConversion(options, paths, sink));
    EXPECT_EQ(test::ReadFile(dir / "out/Plan/Autorun.inf"),
              "[AutoRun]\r\nicon=Plan.exe,0\r\nopen=Plan.exe\r\n");
}

TEST_F(ConversionJob, ChosenIconReplacesTheStubsBeforeTheDocumentIsAppended) {
    options.changeicon = true;
    options.iconfilename = QUORLIX_DEFAULT_ICON_PATH;
    ASSERT_TRUE(RunConversion(options, paths, sink));
    const std::string bytes = test::ReadFile(paths.outputPath);
    EXPECT_EQ(test::ReadBack(bytes).document, test::ReadFile(paths.sourcePath));
    int groups = 0;
    for (const test::FoundResource& r : test::WalkResources(bytes)) {
        EXPECT_EQ(r.language, 1033) << r.type << " " << r.name;
        groups += r.name == "MAINICON" ? 1 : 0;
    }
    EXPECT_EQ(groups, 1);
}

TEST_F(ConversionJob, IconFailureIsIgnored) {
    test::WriteFile(dir / "bad.ico", "MZ not an icon");
    options.changeicon = true;
    options.iconfilename = dir / "bad.ico";
    EXPECT_TRUE(RunConversion(options, paths, sink));
}

TEST_F(ConversionJob, LockedOutputFails) {
    fs::create_directories(dir / "out");
    test::WriteFile(paths.outputPath, "held");
    File holder = File::Open(paths.outputPath, File::Mode::WriteExclusive);
    EXPECT_FALSE(RunConversion(options, paths, sink));
    EXPECT_FALSE(WorkFoldersLeft());
}

TEST_F(ConversionJob, OutputIsTheStepByStepAssemblyOfTheSameFilesByteForByte) {
    test::WriteFile(paths.sourcePath, test::RandomBytes(700000, 8));
    test::WriteFile(dir / "water.jpg", test::RandomBytes(900000, 2));
    test::WriteFile(dir / "second.gif", std::string(400000, 's') + test::RandomBytes(70000, 3));
    test::WriteFile(dir / "b.ttf", test::RandomBytes(300000, 4) + std::string(300000, 'f'));
    options.watertype = 2;
    options.waterimagefile = dir / "water.jpg";
    options.showsecondimage = true;
    options.secondimage = dir / "second.gif";
    options.embedfonts = true;
    options.embedfontlist = {{"B Sans (TrueType)", dir / "b.ttf"}};
    ASSERT_TRUE(RunConversion(options, paths, sink));
    const std::string converted = test::ReadFile(paths.outputPath);

    // The same entries, from files, through the operations that each open the output anew.
    const test::ReadOutput out = test::ReadBack(converted);
    std::vector<std::string> sources;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < out.package.entries.size(); ++i) {
        sources.push_back(dir / ("entry" + std::to_string(i)));
        names.push_back(out.package.entries[i].name);
        test::WriteFile(sources.back(), out.package.entries[i].content);
    }
    const std::string stepwise = dir / "stepwise.exe";
    test::RecordingSink steps;
    ASSERT_TRUE(test::ExtractStub("exefile", "head", stepwise));
    ASSERT_TRUE(test::AppendDocument(paths.sourcePath, stepwise, steps));
    ASSERT_TRUE(test::AppendPackage(stepwise, sources, names, steps));
    ASSERT_TRUE(test::AppendEndMarker(stepwise));
    const std::string expected = test::ReadFile(stepwise);
    EXPECT_EQ(converted.size(), expected.size());
    EXPECT_TRUE(converted == expected) << "byte for byte";
    EXPECT_EQ(out.document, test::ReadFile(paths.sourcePath));
    EXPECT_EQ(test::EntryContent(out.package, "option\\wateroptionimage.dll"),
              test::ReadFile(dir / "water.jpg"));
}

TEST_F(ConversionJob, AnOutputIsSignedBeforeItsRenameOrNotWrittenAtAll) {
    if (!test::OnPath("openssl")) {
        GTEST_SKIP() << "openssl is not installed";
    }
    const test::TestCertificate certificate =
        test::MakeTestCertificate(dir.path(), "author", "Quorlix Author", "pw");
    fs::create_directories(dir / "out");
    test::WriteFile(paths.outputPath, "an older output");

    // The time-stamping authority refuses: the document fails at that step, the older output
    // stays, and nothing else is left in its folder.
    TestFolder authorityFolder;
    const test::TimestampResponder refusing(authorityFolder.path(), true);
    const OutputSigner failing(certificate.pkcs12, "pw", refusing.url());
    std::string cause;
    EXPECT_FALSE(RunConversion(options, paths, sink, cause, &failing));
    EXPECT_TRUE(cause.starts_with("signing the output: no timestamp from " + refusing.url()))
        << cause;
    EXPECT_EQ(test::ReadFile(paths.outputPath), "an older output");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
    EXPECT_FALSE(WorkFoldersLeft());

    const OutputSigner signer(certificate.pkcs12, "pw", "");
    ASSERT_TRUE(RunConversion(options, paths, sink, cause, &signer)) << cause;
    FileByteSource output(paths.outputPath);
    const SignatureReport report = CheckCodeSignature(output);
    EXPECT_TRUE(report.isSigned);
    EXPECT_EQ(report.signer, certificate.subject);
    const std::string bytes = test::ReadFile(paths.outputPath);
    const std::size_t unsignedSize = bytes.rfind(std::string(256, '\x0E')) + 256;
    EXPECT_EQ(report.signedPart.size, (unsignedSize + 7) / 8 * 8);
    const test::ReadOutput out = test::ReadBack(bytes.substr(0, unsignedSize));
    EXPECT_EQ(out.document, test::ReadFile(paths.sourcePath));
}

}  // namespace
}  // namespace quorlix
