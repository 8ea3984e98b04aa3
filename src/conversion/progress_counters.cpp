#include "conversion/progress_counters.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "package/package_writer.h"

namespace quorlix {

namespace {

double RoundHalfToEven(double value) {
    const double nearest = std::round(value);  // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5) {
        return 2.0 * std::round(value / 2.0);
    }
    return nearest;
}

}  // namespace

std::int32_t ProgressMaximumFor(std::int32_t stagedBytes) {
    return static_cast<std::int32_t>(KibRoundedHalfEven(stagedBytes));
}

std::string ProgressCounters::PercentageOf(std::uint64_t value, std::int32_t maximum) {
    const double percent = static_cast<double>(value) * 100.0 / static_cast<double>(maximum);
    return std::to_string(static_cast<long long>(RoundHalfToEven(percent))) + "%";
}

void ProgressCounters::AddProgress(std::uint32_t byteCount) {
    if (maximum_ <= 0) {
        return;
    }
    total_ += byteCount / 1024;
    RaiseBar(total_);
}

void ProgressCounters::ShowStreamProgress(std::uint64_t bytesTakenIn) {
    if (maximum_ <= 0) {
        return;
    }
    RaiseBar(std::uint64_t{total_} + bytesTakenIn / 1024);
}

void ProgressCounters::RaiseBar(std::uint64_t value) {
    if (CancelRequested() || barPosition_ >= static_cast<std::int64_t>(value)) {
        return;
    }
    barPosition_ = static_cast<std::int64_t>(value);
    percentageText_ = PercentageOf(value, maximum_);
    DisplayChanged();
    ProcessMessages();
}

void ProgressCounters::SetUpperLabel(const std::string& text, std::optional<int> width) {
    upperLabel_ = text;
    if (width) {
        upperLabelWidth_ = width;
    }
    DisplayChanged();
}

void ProgressCounters::SetBarPosition(std::int64_t position) {
    barPosition_ = position;
    DisplayChanged();
}

void ProgressCounters::SetBarMaximum(std::int32_t maximum) {
    barMaximum_ = maximum;
    DisplayChanged();
}

void ProgressCounters::Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ProgressCounters::Reset() {
    barPosition_ = 0;
    barMaximum_ = 0;
    maximum_ = 0;
    total_ = 0;
    percentageText_.clear();
    upperLabel_.clear();
    upperLabelWidth_.reset();
    failureCause_.clear();
    closed_ = false;
    DisplayChanged();
}

}  // namespace quorlix
