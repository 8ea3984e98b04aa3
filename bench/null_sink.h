#pragma once

#include <cstdint>

#include "package/progress_sink.h"

namespace quorlix::bench {

// A progress sink that never cancels and shows nothing.
class NullSink : public ProgressSink {
public:
    bool CancelRequested() const override { return false; }
    void AddProgress(std::uint32_t) override {}
    void ShowStreamProgress(std::uint64_t) override {}
    std::uint32_t ProgressTotal() const override { return total_; }
    void SetProgressTotal(std::uint32_t kib) override { total_ = kib; }
    std::int32_t ProgressMaximum() const override { return maximum_; }
    void SetProgressMaximum(std::int32_t kib) override { maximum_ = kib; }

private:
    std::uint32_t total_ = 0;
    std::int32_t maximum_ = 0;
};

}  // namespace quorlix::bench
