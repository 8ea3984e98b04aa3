#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quorlix::bench {

// What one piece of work measured in its own process gave.
struct ChildResult {
    double seconds = 0;            // wall-clock time of the work alone, in the child
    std::uint64_t value = 0;       // what the work returned
    std::uint64_t peakRssKiB = 0;  // the child's peak resident memory
    // The most disk space the watched folder held while the child ran, sampled every
    // millisecond; 0 when no folder was watched.
    std::uint64_t peakFolderBytes = 0;
};

// Runs work in a forked child, so that its peak resident memory is its own, and times it there
// (setup, when given, runs in the child first, untimed). With a watched folder, the parent
// samples the disk space held under it while the child runs. Throws quorlix::Error when the
// child fails (its message goes to stderr).
ChildResult RunInChild(const std::function<std::uint64_t()>& work,
                       const std::function<void()>& setup = {},
                       const std::string& watchedFolder = {});

}  // namespace quorlix::bench
