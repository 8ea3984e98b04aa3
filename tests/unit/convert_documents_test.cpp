#include "conversion/convert_documents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "platform/package_names.h"
#include "platform/replacement_file.h"
#include "support/staged_copy_bytes.h"
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
    DocumentResult ConvertOne(const OptionSet& options, const ConversionPaths& paths) override {
        converted.push_back(paths.outputPath);
        widths.push_back(options.opwidth);
        stagedCopy = test::StagedCopyBytes(*paths.stagedCopy);
        if (paths.documentPath.ends_with(cancelAt)) {
            cancel = true;
        }
        if (paths.documentPath.ends_with(failAt)) {
            return DocumentResult(false,
                                  "writing " + paths.outputPath + ": No space left on device");
        }
        if (onConvert) {
            onConvert(paths);
        }
        if (!finishOutputs) {
            return DocumentResult(true, "");
        }
        // A finished output holding the document's bytes, for the run to put in place.
        auto output = std::make_unique<ReplacementFile>(paths.outputPath, ".part");
        const std::string bytes = test::ReadFile(paths.documentPath);
        output->file().WriteAll(bytes.data(), bytes.size());
        return DocumentResult(std::make_unique<FinishedOutput>(std::move(output), nullptr));
    }
    bool CancelRequested() const override { return cancel; }
    void DocumentDone(const std::string& outputPath, const DocumentOutcome& outcome) override {
        done.push_back(outputPath + (outcome.converted ? " ok" : " failed: " + outcome.cause));
    }

    std::string failAt = "-";
    std::string cancelAt = "-";
    bool cancel = false;
    std::vector<std::string> asked;
    std::vector<std::string> converted;
    std::vector<std::string> widths;
    std::vector<std::string> done;
    std::string stagedCopy;
    // Each converted output is handed back finished, for the run to put in place.
    bool finishOutputs = false;
    // Called in ConvertOne before the output is made.
    std::function<void(const ConversionPaths& paths)> onConvert;
};

TEST(ConvertDocuments, TakesDocumentsInOrderAndKeepsTheCauseOfEachFailure) {
    TestFolder folder;
    test::WriteFile(folder / "a.doc", "first");
    test::WriteFile(folder / "b.docx", "second");
    ScriptedFrontEnd frontEnd;
    frontEnd.failAt = "a.doc";
    const std::string out = folder / "out/";
    const ConvertOutcome outcome =
        ConvertDocuments({folder / "a.doc", folder / "b.docx"}, out, false, frontEnd);
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
    // The staged copy of the last document is its container stream, and it was never a file.
    EXPECT_EQ(frontEnd.stagedCopy, test::StagedCopyBytesOf(folder / "b.docx"));
    EXPECT_EQ(frontEnd.stagedCopy.substr(0, 8), std::string("BDOC\x01\0\0\0", 8));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2)
        << "nothing but the two documents in their folder";
}

TEST(ConvertDocuments, AutorunGivesEachOutputASubfolder) {
    TestFolder folder;
    test::WriteFile(folder / "Plan.doc", "plan");
    fs::create_directories(folder / "out/Plan");
    test::WriteFile(folder / "out/Plan/Plan.exe", "old");
    ScriptedFrontEnd frontEnd;
    const ConvertOutcome outcome =
        ConvertDocuments({folder / "Plan.doc"}, folder / "out/", true, frontEnd);
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_EQ(frontEnd.converted, (std::vector<std::string>{folder / "out/Plan/Plan.exe"}));

    // An output path that is a folder cannot be replaced: the document fails without a job.
    fs::create_directories(folder / "out2/Plan/Plan.exe");
    ScriptedFrontEnd second;
    const ConvertOutcome blocked =
        ConvertDocuments({folder / "Plan.doc"}, folder / "out2/", true, second);
    EXPECT_TRUE(second.converted.empty());
    ASSERT_EQ(blocked.failures.size(), 1u);
    EXPECT_FALSE(blocked.failures[0].cause.empty());
}

TEST(ConvertDocuments, CancelEndsTheRun) {
    TestFolder folder;
    for (const char* name : {"a.doc", "b.doc", "c.doc"}) {
        test::WriteFile(folder / name, name);
    }
    ScriptedFrontEnd frontEnd;
    frontEnd.cancelAt = "b.doc";
    const ConvertOutcome outcome = ConvertDocuments(
        {folder / "a.doc", folder / "b.doc", folder / "c.doc"}, folder / "o/", false, frontEnd);
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
    ScriptedFrontEnd frontEnd;
    frontEnd.failAt = "c.doc";
    const std::string out = folder / "o/";
    const ConvertOutcome outcome = ConvertDocuments(
        {folder / "missing.doc", folder / "a.doc", folder / "huge.doc", folder / "c.doc"}, out,
        false, frontEnd);
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

TEST(ConvertDocuments, AnErrorThatStopsTheRunCarriesTheFailuresSoFar) {
    TestFolder folder;
    for (const char* name : {"a.doc", "b.doc", "c.doc", "d.doc"}) {
        test::WriteFile(folder / name, name);
    }
    ScriptedFrontEnd frontEnd;
    frontEnd.finishOutputs = true;
    frontEnd.failAt = "a.doc";
    frontEnd.onConvert = [&](const ConversionPaths& paths) {
        if (paths.documentPath.ends_with("c.doc")) {
            throw std::runtime_error("the run cannot go on");
        }
    };
    const std::string out = folder / "o/";
    fs::create_directories(out);
    try {
        ConvertDocuments({folder / "a.doc", folder / "b.doc", folder / "c.doc", folder / "d.doc"},
                         out, false, frontEnd);
        FAIL() << "the run must stop";
    } catch (const ConvertRunStopped& e) {
        EXPECT_STREQ(e.what(), "the run cannot go on");
        ASSERT_EQ(e.outcome().failures.size(), 1u);
        EXPECT_EQ(e.outcome().failures[0].outputPath, out + "a.exe");
    }
    EXPECT_EQ(frontEnd.converted.size(), 3u) << "no document after the one that stopped the run";
    EXPECT_EQ(frontEnd.done, (std::vector<std::string>{out + "a.exe failed: writing " + out +
                                                           "a.exe: No space left on device",
                                                       out + "b.exe ok"}))
        << "the outputs before the stop are settled and reported";
    EXPECT_EQ(test::ReadFile(out + "b.exe"), "b.doc");
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

TEST(ConvertDocuments, FinishedOutputsArePutInPlaceAndReportedInListOrder) {
    TestFolder folder;
    for (const char* name : {"a.doc", "b.doc", "c.doc", "d.doc"}) {
        test::WriteFile(folder / name, name);
    }
    const std::string out = folder / "o/";
    fs::create_directories(out + "a.exe");  // a folder in the way: a's rename fails
    ScriptedFrontEnd frontEnd;
    frontEnd.finishOutputs = true;
    frontEnd.failAt = "b.doc";
    const ConvertOutcome outcome =
        ConvertDocuments({folder / "a.doc", folder / "b.doc", folder / "c.doc", folder / "d.doc"},
                         out, false, frontEnd);
    ASSERT_EQ(frontEnd.done.size(), 4u);
    EXPECT_TRUE(frontEnd.done[0].starts_with(out + "a.exe failed: replacing " + out + "a.exe: "))
        << frontEnd.done[0];
    EXPECT_EQ(frontEnd.done[1],
              out + "b.exe failed: writing " + out + "b.exe: No space left on device");
    EXPECT_EQ(frontEnd.done[2], out + "c.exe ok");
    EXPECT_EQ(frontEnd.done[3], out + "d.exe ok");
    ASSERT_EQ(outcome.failures.size(), 2u);
    EXPECT_EQ(outcome.failures[0].outputPath, out + "a.exe");
    EXPECT_EQ(outcome.failures[1].outputPath, out + "b.exe");
    EXPECT_EQ(test::ReadFile(out + "c.exe"), "c.doc");
    EXPECT_EQ(test::ReadFile(out + "d.exe"), "d.doc");
    // Nothing but the outputs (and the folder in a's way) is left in the output folder.
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(out)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"a.exe", "c.exe", "d.exe"}));
}

TEST(ConvertDocuments, AnOutputPathIsTouchedAgainOnlyOnceItsEarlierOutputIsInPlace) {
    TestFolder folder;
    fs::create_directories(folder / "x");
    fs::create_directories(folder / "y");
    test::WriteFile(folder / "x/Plan.doc", "one");
    test::WriteFile(folder / "y/Note.doc", "two");
    test::WriteFile(folder / "y/Plan.doc", "three");
    ScriptedFrontEnd frontEnd;
    frontEnd.finishOutputs = true;
    std::string planWhenSecondPlanConverts;
    frontEnd.onConvert = [&](const ConversionPaths& paths) {
        if (paths.documentPath == folder / "y/Plan.doc") {
            planWhenSecondPlanConverts = test::ReadFile(paths.outputPath);
        }
    };
    const std::string out = folder / "o/";
    fs::create_directories(out);
    const ConvertOutcome outcome =
        ConvertDocuments({folder / "x/Plan.doc", folder / "y/Note.doc", folder / "y/Plan.doc"}, out,
                         false, frontEnd);
    EXPECT_TRUE(outcome.failures.empty());
    EXPECT_EQ(planWhenSecondPlanConverts, "one") << "the first Plan.exe was in place";
    EXPECT_EQ(test::ReadFile(out + "Plan.exe"), "three");
    EXPECT_EQ(test::ReadFile(out + "Note.exe"), "two");
    EXPECT_EQ(frontEnd.done.size(), 3u);
}

TEST(ConvertDocuments, ACancelLeavesTheFinishedOutputOfItsDocumentOut) {
    TestFolder folder;
    test::WriteFile(folder / "a.doc", "a");
    test::WriteFile(folder / "b.doc", "b");
    const std::string out = folder / "o/";
    fs::create_directories(out);
    ScriptedFrontEnd frontEnd;
    frontEnd.finishOutputs = true;
    frontEnd.cancelAt = "b.doc";
    const ConvertOutcome outcome =
        ConvertDocuments({folder / "a.doc", folder / "b.doc"}, out, false, frontEnd);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(frontEnd.done, std::vector<std::string>{out + "a.exe ok"});
    EXPECT_EQ(test::ReadFile(out + "a.exe"), "a");
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1)
        << "b's temporary output is gone";
}

}  // namespace
}  // namespace quorlix
