#include "conversion/convert_documents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <system_error>

#include "platform/package_names.h"

#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

// A front end that records what the loop asks of it and answers from a script.
class ScriptedFrontEnd : public ConvertFrontEnd {
public:
    OptionSet OptionsFor(const std::string& documentPath) override {
        asked.push_back(documentPath);
        OptionSet options;
        options.opwidth = std::to_string(asked.size());
        return options;
    }
    bool ConvertOne(const OptionSet& options, const ConversionPaths& paths,
                    std::string& cause) override {
        converted.push_back(paths.outputPath);
        widths.push_back(options.opwidth);
        stagedCopy = test::ReadFile(paths.sourcePath);
        if (paths.documentPath.ends_with(cancelAt)) {
            cancel = true;
        }
        if (onConverted) {
            onConverted();
        }
        if (paths.documentPath.ends_with(failAt)) {
            cause = "writing " + paths.outputPath + ": No space left on device";
            return false;
        }
        return true;
    }
    bool CancelRequested() const override { return cancel; }
    void DocumentDone(const std::string& outputPath, bool ok, const std::string& cause) override {
        done.push_back(outputPath + (ok ? " ok" : " failed: " + cause));
    }

    std::string failAt = "-";
    std::string cancelAt = "-";
    bool cancel = false;
    std::function<void()> onConverted;
    std::vector<std::string> asked;
    std::vector<std::string> converted;
    std::vector<std::string> widths;
    std::vector<std::string> done;
    std::string stagedCopy;
};

TEST(ConvertDocuments, TakesDocumentsInOrderAndKeepsTheCauseOfEachFailure) {
    TestFolder folder;
    test::WriteFile(folder / "a.doc", "first");
    test::WriteFile(folder / "b.docx", "second");
    fs::create_directories(folder / "run");
    ScriptedFrontEnd frontEnd;
    frontEnd.failAt = "a.doc";
    const std::string out = folder / "out/";
    const ConvertOutcome outcome = ConvertDocuments({folder / "a.doc", folder / "b.docx"}, out,
                                                    false, folder / "run/~~~.txt", frontEnd);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(frontEnd.asked, (std::vector<std::string>{folder / "a.doc", folder / "b.docx"}));
    EXPECT_EQ(frontEnd.widths, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(frontEnd.converted, (std::vector<std::string>{out + "a.exe", out + "b.exe"}));
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].outputPath, out + "a.exe");
    EXPECT_EQ(outcome.failures[0].cause, "writing " + out + "a.exe: No space left on device");
    EXPECT_EQ(frontEnd.done, (std::vector<std::string>{out + "a.exe failed: writing " + out +
                                                           "a.exe: No space left on device",
                                                       out + "b.exe ok"}));
    // The staged copy of the last document is a container stream.
    EXPECT_EQ(frontEnd.stagedCopy.substr(0, 8), std::string("BDOC\x01\0\0\0", 8));
}

TEST(ConvertDocuments, AutorunGivesEachOutputASubfolder) {
    TestFolder folder;
    test::WriteFile(folder / "Plan.doc", "plan");
    fs::create_directories(folder / "run");
    fs::create_directories(folder / "out/Plan");
    test::WriteFile(folder / "out/Plan/Plan.exe", "old");
    ScriptedFrontEnd frontEnd;
    const ConvertOutcome outcome = ConvertDocuments({folder / "Plan.doc"}, folder / "out/", true,
                                                    folder / "run/~~~.txt", frontEnd);
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_EQ(frontEnd.converted, (std::vector<std::string>{folder / "out/Plan/Plan.exe"}));

    // An output path that is a folder cannot be replaced: the document fails without a job.
    fs::create_directories(folder / "out2/Plan/Plan.exe");
    ScriptedFrontEnd second;
    const ConvertOutcome blocked = ConvertDocuments({folder / "Plan.doc"}, folder / "out2/", true,
                                                    folder / "run/~~~.txt", second);
    EXPECT_TRUE(second.converted.empty());
    ASSERT_EQ(blocked.failures.size(), 1u);
    EXPECT_FALSE(blocked.failures[0].cause.empty());
}

TEST(ConvertDocuments, CancelEndsTheRun) {
    TestFolder folder;
    for (const char* name : {"a.doc", "b.doc", "c.doc"}) {
        test::WriteFile(folder / name, name);
    }
    fs::create_directories(folder / "run");
    ScriptedFrontEnd frontEnd;
    frontEnd.cancelAt = "b.doc";
    const ConvertOutcome outcome =
        ConvertDocuments({folder / "a.doc", folder / "b.doc", folder / "c.doc"}, folder / "o/",
                         false, folder / "run/~~~.txt", frontEnd);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(frontEnd.converted.size(), 2u);
    EXPECT_EQ(frontEnd.done.size(), 1u);
}

// A file of that size whose bytes are never written (a hole), to stand for a huge document.
void WriteSparseFile(const std::string& path, std::uint64_t size) {
    test::WriteFile(path, "");
    std::filesystem::resize_file(path, size);
}

TEST(ConvertDocuments, ADocumentThatCannotBeEmbeddedFailsAndTheRunGoesOn) {
    TestFolder folder;
    test::WriteFile(folder / "a.doc", "a");
    test::WriteFile(folder / "c.doc", "c");
    WriteSparseFile(folder / "huge.doc", kMaxEmbeddedFileSize + 1);
    fs::create_directories(folder / "run");
    ScriptedFrontEnd frontEnd;
    frontEnd.failAt = "c.doc";
    const std::string out = folder / "o/";
    const ConvertOutcome outcome = ConvertDocuments(
        {folder / "missing.doc", folder / "a.doc", folder / "huge.doc", folder / "c.doc"}, out,
        false, folder / "run/~~~.txt", frontEnd);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(frontEnd.converted, (std::vector<std::string>{out + "a.exe", out + "c.exe"}))
        << "no conversion for a document that is not embedded";
    ASSERT_EQ(outcome.failures.size(), 3u) << "every failure kept, whatever its kind";
    EXPECT_EQ(outcome.failures[0].outputPath, out + "missing.exe");
    EXPECT_EQ(outcome.failures[0].cause,
              "embedding the document: " + folder / "missing.doc" + ": No such file or directory");
    EXPECT_EQ(outcome.failures[1].outputPath, out + "huge.exe");
    EXPECT_EQ(outcome.failures[1].cause,
              "embedding the document: The document is too large to embed: " + folder / "huge.doc" +
                  " holds 2147418113 bytes, and the largest document that fits is 2147418112 "
                  "bytes (2 GiB less 64 KiB)");
    EXPECT_EQ(outcome.failures[2].outputPath, out + "c.exe");
    EXPECT_EQ(frontEnd.done.size(), 4u);
}

TEST(ConvertDocuments, AStagedCopyThatCannotBeWrittenStopsTheRunWithTheFailuresSoFar) {
    TestFolder folder;
    for (const char* name : {"a.doc", "b.doc", "c.doc"}) {
        test::WriteFile(folder / name, name);
    }
    fs::create_directories(folder / "run");
    ScriptedFrontEnd frontEnd;
    frontEnd.failAt = "a.doc";
    // The second document's staged copy meets a folder in the way of its rename.
    frontEnd.onConverted = [&] {
        fs::remove(folder / "run/~~~.txt");
        fs::create_directories(folder / "run/~~~.txt/inside");
    };
    const std::string out = folder / "o/";
    try {
        ConvertDocuments({folder / "a.doc", folder / "b.doc", folder / "c.doc"}, out, false,
                         folder / "run/~~~.txt", frontEnd);
        FAIL() << "the run must stop";
    } catch (const ConvertRunStopped& e) {
        ASSERT_EQ(e.outcome().failures.size(), 2u);
        EXPECT_EQ(e.outcome().failures[0].outputPath, out + "a.exe");
        EXPECT_EQ(e.outcome().failures[1].outputPath, out + "b.exe");
        EXPECT_EQ(e.outcome().failures[1].cause,
                  std::string("writing the staged copy: ") + e.what());
        EXPECT_NE(std::string(e.what()).find("~~~.txt"), std::string::npos) << e.what();
    }
    EXPECT_EQ(frontEnd.converted.size(), 1u) << "no document after the one that stopped the run";
    EXPECT_EQ(frontEnd.done.size(), 2u) << "the front end hears of the stopped document too";
}

}  // namespace
}  // namespace quorlix
