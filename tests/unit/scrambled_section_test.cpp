// The document section as the job writes it: the staged copy produced straight into the output,
// scrambled a chunk at a time, against the step-by-step copy of the same bytes from a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/output_assembly.h"
#include "package/scrambled_section_sink.h"
#include "platform/error.h"
#include "platform/file.h"
#include "support/output_steps.h"
#include "support/package_reading.h"
#include "support/staged_copy_bytes.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::ReadFile;
using test::RecordingSink;
using test::TestFolder;
using test::WriteFile;

// The document section's scrambling, written out here independently of the writers.
std::string Scrambled(std::string bytes) {
    const std::string key = "%:QX-vmrtpwj";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ (key[i % 12] & 0x0F));
    }
    return bytes;
}

TEST(ScrambledSection, TheStagedCopyGoesInAsTheCopyOfItsFileWouldByteAndReportForReport) {
    TestFolder dir;
    // Documents whose staged copies end on both sides of chunk boundaries, in the mini stream and
    // beyond it.
    for (const std::size_t size : {0, 100, 3000, 58000, 59000, 61440, 122880, 300001}) {
        const std::string document = dir / "Plan.doc";
        WriteFile(document, test::RandomBytes(size, static_cast<unsigned>(size) + 1));
        const std::shared_ptr<const StagedCopy> staged = StageDocument(document);

        WriteFile(dir / "streamed.exe", "MZ");
        RecordingSink streamedReports;
        {
            File output = File::Open(dir / "streamed.exe", File::Mode::WriteExclusive);
            AppendDocumentTo(*staged, output, streamedReports);
            output.Close();
        }
        WriteFile(dir / "~~~.txt", test::StagedCopyBytes(*staged));
        WriteFile(dir / "stepwise.exe", "MZ");
        RecordingSink stepwiseReports;
        ASSERT_TRUE(test::AppendDocument(dir / "~~~.txt", dir / "stepwise.exe", stepwiseReports));

        const std::string streamed = ReadFile(dir / "streamed.exe");
        EXPECT_EQ(streamed.size(), 2 + staged->size() + 4) << size;
        EXPECT_TRUE(streamed == ReadFile(dir / "stepwise.exe")) << size;
        EXPECT_EQ(streamedReports.addProgress, stepwiseReports.addProgress) << size;
        EXPECT_EQ(streamedReports.checks, stepwiseReports.checks) << "cancel checks, " << size;
    }
}

TEST(ScrambledSection, WritesOfAnySizeMakeChunksCountedFromTheSectionsStart) {
    TestFolder dir;
    const std::string bytes = test::RandomBytes(200000, 21);
    WriteFile(dir / "out", "");
    RecordingSink reports;
    File output = File::Open(dir / "out", File::Mode::WriteExclusive);
    ScrambledSectionSink section(output, reports);
    std::size_t at = 0;
    for (const std::size_t piece : {1, 61439, 2, 61440, 77118}) {
        section.Write(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at, piece);
        at += piece;
    }
    ASSERT_EQ(at, bytes.size());
    EXPECT_EQ(section.Finish(), bytes.size());
    output.Close();
    EXPECT_TRUE(ReadFile(dir / "out") == Scrambled(bytes));
    EXPECT_EQ(reports.addProgress, (std::vector<std::uint32_t>{61440, 61440, 61440, 15680}));
}

TEST(ScrambledSection, ACancelStopsBeforeTheNextChunkAndWritesNoTrailer) {
    TestFolder dir;
    WriteFile(dir / "Plan.doc", test::RandomBytes(200000, 22));
    const std::shared_ptr<const StagedCopy> staged = StageDocument(dir / "Plan.doc");
    const std::string expected = Scrambled(test::StagedCopyBytes(*staged));
    for (const int check : {1, 3}) {
        WriteFile(dir / "out", "STUB");
        RecordingSink reports;
        reports.cancelAtCheck = check;
        File output = File::Open(dir / "out", File::Mode::WriteExclusive);
        try {
            AppendDocumentTo(*staged, output, reports);
            FAIL() << "a cancel ends the section";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "cancelled");
        }
        output.Close();
        const std::size_t chunks = static_cast<std::size_t>(check - 1);
        EXPECT_EQ(reports.addProgress, std::vector<std::uint32_t>(chunks, 61440));
        EXPECT_TRUE(ReadFile(dir / "out") == "STUB" + expected.substr(0, chunks * 61440))
            << "after " << check << " checks";
    }
}

}  // namespace
}  // namespace quorlix
