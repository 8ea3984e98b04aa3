#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "conversion/conversion_sink.h"

namespace quorlix {

// The progress maximum for a staged size: KiB rounded to the nearest, halves to even; 0 (no
// progress shown) for a staged size that is negative.
std::int32_t ProgressMaximumFor(std::int32_t stagedBytes);

// The progress window's state without the window: progress maximum and total, bar position,
// percentage text, upper label, cancel and converted flags. A window or a console bar derives
// from it and shows the state in DisplayChanged and runs pending messages in ProcessMessages.
class ProgressCounters : public ConversionSink {
public:
    // ProgressSink: the counters arithmetic.
    bool CancelRequested() const override { return cancel_; }
    void AddProgress(std::uint32_t byteCount) override;
    void ShowStreamProgress(std::uint64_t bytesTakenIn) override;
    std::uint32_t ProgressTotal() const override { return total_; }
    void SetProgressTotal(std::uint32_t kib) override { total_ = kib; }
    std::int32_t ProgressMaximum() const override { return maximum_; }
    void SetProgressMaximum(std::int32_t kib) override { maximum_ = kib; }

    // ConversionSink: state changes; ProcessMessages does nothing, Close marks the counters
    // closed, Pause sleeps.
    void SetUpperLabel(const std::string& text, std::optional<int> width) override;
    void ProcessMessages() override {}
    void SetBarPosition(std::int64_t position) override;
    void SetBarMaximum(std::int32_t maximum) override;
    void ClearCancel() override { cancel_ = false; }
    void Close() override { closed_ = true; }
    void Pause(int milliseconds) override;
    void SetFailureCause(const std::string& cause) override { failureCause_ = cause; }

    // Why the last job failed; empty after a conversion or a Reset.
    const std::string& FailureCause() const { return failureCause_; }

    // Sets the cancel flag (the Cancel button).
    void RequestCancel() { cancel_ = true; }
    bool Converted() const { return converted_; }
    void SetConverted(bool converted) { converted_ = converted; }
    // Before a job: bar at 0, maximum and total 0, both labels empty, not closed.
    void Reset();

    std::int64_t BarPosition() const { return barPosition_; }
    std::int32_t BarMaximum() const { return barMaximum_; }
    // The percentage label, for example "42%"; empty until the first report.
    const std::string& PercentageText() const { return percentageText_; }
    const std::string& UpperLabel() const { return upperLabel_; }
    // The label width last set; empty while none was set.
    std::optional<int> UpperLabelWidth() const { return upperLabelWidth_; }
    bool Closed() const { return closed_; }

    // value * 100 / maximum, rounded half to even, not capped, followed by "%".
    static std::string PercentageOf(std::uint64_t value, std::int32_t maximum);

protected:
    // Called after the bar, its maximum, the percentage or the upper label changed.
    virtual void DisplayChanged() {}

private:
    // Moves the bar to value when it rises and the cancel flag is clear.
    void RaiseBar(std::uint64_t value);

    bool cancel_ = false;
    bool converted_ = false;
    bool closed_ = false;
    std::int32_t maximum_ = 0;
    std::uint32_t total_ = 0;
    std::int64_t barPosition_ = 0;
    std::int32_t barMaximum_ = 0;
    std::string percentageText_;
    std::string upperLabel_;
    std::string failureCause_;
    std::optional<int> upperLabelWidth_;
};

}  // namespace quorlix
