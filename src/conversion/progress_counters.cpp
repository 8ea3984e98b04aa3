#include "conversion/progress_counters.h"

#include <cmath>

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

// What the upper label shows at a stage.
std::string UpperLabelAt(JobStage stage, const std::string& outputName) {
    switch (stage) {
        case JobStage::Preparing:
            return "preparing..";
        case JobStage::Writing:
            return outputName;
        case JobStage::Finished:
            break;
    }
    return {};
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
}

void ProgressCounters::StageReached(JobStage stage, const std::string& outputName) {
    stage_ = stage;
    upperLabel_ = UpperLabelAt(stage, outputName);
    DisplayChanged();
}

void ProgressCounters::WorkMeasured(std::int32_t kib) {
    barPosition_ = 0;
    barMaximum_ = kib;
    maximum_ = kib;
    DisplayChanged();
}

void ProgressCounters::Reset() {
    stage_.reset();
    barPosition_ = 0;
    barMaximum_ = 0;
    maximum_ = 0;
    total_ = 0;
    percentageText_.clear();
    upperLabel_.clear();
    DisplayChanged();
}

}  // namespace quorlix
