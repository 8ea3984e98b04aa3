#include "conversion/progress_counters.h"

#include <gtest/gtest.h>

namespace quorlix {
namespace {

// Counters that count the changes they would show.
class RecordingCounters : public ProgressCounters {
public:
    int displayChanges = 0;

protected:
    void DisplayChanged() override { ++displayChanges; }
};

TEST(ProgressCounters, PercentageRoundsHalfToEvenAndIsNotCapped) {
    EXPECT_EQ(ProgressCounters::PercentageOf(50, 200), "25%");
    EXPECT_EQ(ProgressCounters::PercentageOf(1, 3), "33%");
    EXPECT_EQ(ProgressCounters::PercentageOf(2, 3), "67%");
    EXPECT_EQ(ProgressCounters::PercentageOf(1, 8), "12%");
    EXPECT_EQ(ProgressCounters::PercentageOf(3, 8), "38%");
    EXPECT_EQ(ProgressCounters::PercentageOf(0, 8), "0%");
    EXPECT_EQ(ProgressCounters::PercentageOf(250, 200), "125%");
}

TEST(ProgressCounters, MaximumIsTheStagedSizeInKibRoundedHalfToEven) {
    EXPECT_EQ(ProgressMaximumFor(511), 0);
    EXPECT_EQ(ProgressMaximumFor(512), 0);
    EXPECT_EQ(ProgressMaximumFor(513), 1);
    EXPECT_EQ(ProgressMaximumFor(1536), 2);
    EXPECT_EQ(ProgressMaximumFor(2560), 2);
    EXPECT_EQ(ProgressMaximumFor(-1), 0) << "a missing file counts -1";
}

TEST(ProgressCounters, AddProgressCountsWholeKibAndRaisesTheBar) {
    RecordingCounters counters;
    counters.WorkMeasured(200);
    counters.displayChanges = 0;
    counters.AddProgress(61440);
    EXPECT_EQ(counters.ProgressTotal(), 60u);
    EXPECT_EQ(counters.BarPosition(), 60);
    EXPECT_EQ(counters.PercentageText(), "30%");
    EXPECT_EQ(counters.displayChanges, 1);

    counters.AddProgress(1000);
    EXPECT_EQ(counters.ProgressTotal(), 60u) << "a last chunk below 1 KiB adds 0";
    EXPECT_EQ(counters.displayChanges, 1) << "nothing shown when the bar does not rise";

    counters.AddProgress(2047);
    EXPECT_EQ(counters.ProgressTotal(), 61u);
    EXPECT_EQ(counters.PercentageText(), "30%") << "30.5 rounds to even";
}

TEST(ProgressCounters, StreamProgressShowsWithoutChangingTheTotal) {
    RecordingCounters counters;
    counters.WorkMeasured(8);
    counters.EntryDone(1);
    counters.displayChanges = 0;
    counters.ShowStreamProgress(3 * 1024 + 1023);
    EXPECT_EQ(counters.ProgressTotal(), 1u);
    EXPECT_EQ(counters.BarPosition(), 4);
    EXPECT_EQ(counters.PercentageText(), "50%");
    counters.ShowStreamProgress(1024);
    EXPECT_EQ(counters.BarPosition(), 4) << "the bar never goes back";
    EXPECT_EQ(counters.displayChanges, 1);
}

TEST(ProgressCounters, MaximumZeroIgnoresEveryReport) {
    RecordingCounters counters;
    counters.AddProgress(1 << 20);
    counters.ShowStreamProgress(1 << 20);
    EXPECT_EQ(counters.ProgressTotal(), 0u);
    EXPECT_EQ(counters.BarPosition(), 0);
    EXPECT_EQ(counters.PercentageText(), "");
    EXPECT_EQ(counters.displayChanges, 0);
}

TEST(ProgressCounters, AfterCancelTheBarStaysWhileTheTotalGrows) {
    RecordingCounters counters;
    counters.WorkMeasured(100);
    counters.AddProgress(10 * 1024);
    counters.RequestCancel();
    EXPECT_TRUE(counters.CancelRequested());
    counters.AddProgress(20 * 1024);
    counters.ShowStreamProgress(50 * 1024);
    EXPECT_EQ(counters.ProgressTotal(), 30u);
    EXPECT_EQ(counters.BarPosition(), 10);
    EXPECT_EQ(counters.PercentageText(), "10%");
    counters.ClearCancel();
    EXPECT_FALSE(counters.CancelRequested());
}

TEST(ProgressCounters, StagesWorkMeasuredAndReset) {
    RecordingCounters counters;
    ConversionSink& sink = counters;
    EXPECT_FALSE(counters.Stage().has_value());
    sink.StageReached(JobStage::Preparing, "Plan.exe");
    EXPECT_EQ(counters.UpperLabel(), "preparing..");
    sink.StageReached(JobStage::Writing, "Plan.exe");
    sink.WorkMeasured(9);
    EXPECT_EQ(counters.UpperLabel(), "Plan.exe");
    EXPECT_EQ(counters.Stage(), JobStage::Writing);
    EXPECT_EQ(counters.BarMaximum(), 9);
    EXPECT_EQ(counters.ProgressMaximum(), 9);
    EXPECT_EQ(counters.BarPosition(), 0);
    EXPECT_EQ(counters.displayChanges, 3);
    sink.StageReached(JobStage::Finished, "Plan.exe");
    EXPECT_EQ(counters.UpperLabel(), "");
    EXPECT_EQ(counters.Stage(), JobStage::Finished);

    sink.AddProgress(5 * 1024);
    counters.SetConverted(true);
    counters.Reset();
    EXPECT_EQ(counters.BarPosition(), 0);
    EXPECT_EQ(counters.ProgressMaximum(), 0);
    EXPECT_EQ(counters.ProgressTotal(), 0u);
    EXPECT_EQ(counters.PercentageText(), "");
    EXPECT_EQ(counters.UpperLabel(), "");
    EXPECT_EQ(counters.BarMaximum(), 0);
    EXPECT_FALSE(counters.Stage().has_value());
}

// A sink whose cancel flag comes from elsewhere (an interrupt) freezes the bar as well.
TEST(ProgressCounters, CancelFromAnOverridingSinkFreezesTheBar) {
    struct Interrupted : ProgressCounters {
        bool interrupted = false;
        bool CancelRequested() const override {
            return interrupted || ProgressCounters::CancelRequested();
        }
    } counters;
    counters.WorkMeasured(100);
    counters.AddProgress(10 * 1024);
    counters.interrupted = true;
    counters.AddProgress(10 * 1024);
    counters.ShowStreamProgress(50 * 1024);
    EXPECT_EQ(counters.BarPosition(), 10);
    EXPECT_EQ(counters.PercentageText(), "10%");
    EXPECT_EQ(counters.ProgressTotal(), 20u);
}

}  // namespace
}  // namespace quorlix
