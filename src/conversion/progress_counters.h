#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "conversion/conversion_sink.h"

namespace quorlix {

// The progress maximum for a staged size: KiB rounded to the nearest, halves to even; 0 (no
// progress shown) for a staged size that is negative.
std::int32_t ProgressMaximumFor(std::int32_t stagedBytes);

// What a progress display shows, worked out from the job's events without a window: progress
// maximum and total, bar position, percentage text, upper label, and the cancel and converted
// flags. A window or a console bar derives from it and shows the state in DisplayChanged. The
// events come from the job's thread; the cancel flag alone may be raised from another thread.
class ProgressCounters : public ConversionSink {
public:
    // ConversionSink: the counters arithmetic.
    bool CancelRequested() const override { return cancel_.load(); }
    void AddProgress(std::uint32_t byteCount) override;
    void ShowStreamProgress(std::uint64_t bytesTakenIn) override;
    void EntryDone(std::uint32_t kib) override { total_ += kib; }
    void StageReached(JobStage stage, const std::string& outputName) override;
    void WorkMeasured(std::int32_t kib) override;

    // The expected work in KiB (0: no progress shown) and the work finished so far.
    std::int32_t ProgressMaximum() const { return maximum_; }
    std::uint32_t ProgressTotal() const { return total_; }

    // The cancel flag: raised by the Cancel button (from any thread), cleared before a job.
    void RequestCancel() { cancel_.store(true); }
    void ClearCancel() { cancel_.store(false); }
    bool Converted() const { return converted_; }
    void SetConverted(bool converted) { converted_ = converted; }
    // Before a job: no stage, bar at 0, maximum and total 0, both labels empty.
    void Reset();

    // The stage last reported; empty before the first.
    std::optional<JobStage> Stage() const { return stage_; }
    std::int64_t BarPosition() const { return barPosition_; }
    std::int32_t BarMaximum() const { return barMaximum_; }
    // The percentage label, for example "42%"; empty until the first report.
    const std::string& PercentageText() const { return percentageText_; }
    // "preparing..", then the output's file name while it is written, empty at the end.
    const std::string& UpperLabel() const { return upperLabel_; }

    // value * 100 / maximum, rounded half to even, not capped, followed by "%".
    static std::string PercentageOf(std::uint64_t value, std::int32_t maximum);

protected:
    // Called after the stage, the bar, its maximum, the percentage or the upper label changed.
    virtual void DisplayChanged() {}

private:
    // Moves the bar to value when it rises and the cancel flag is clear.
    void RaiseBar(std::uint64_t value);

    std::atomic<bool> cancel_ = false;
    bool converted_ = false;
    std::optional<JobStage> stage_;
    std::int32_t maximum_ = 0;
    std::uint32_t total_ = 0;
    std::int64_t barPosition_ = 0;
    std::int32_t barMaximum_ = 0;
    std::string percentageText_;
    std::string upperLabel_;
};

}  // namespace quorlix
