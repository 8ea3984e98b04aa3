#pragma once

#include <cstdint>
#include <vector>

namespace quorlix::bench {

// The targets: conversion at most 15% slower than the two-thread one-pass floor, peak memory at
// most 16 MiB above that of the smallest size, and a batch's documents at most 0.5 ms each
// beyond writing the stub from memory.
inline constexpr double kRatioTarget = 1.15;
inline constexpr double kMemoryTargetMiB = 16.0;
inline constexpr double kBatchTargetMs = 0.5;

// The times of every round of one case, in seconds.
struct Timings {
    std::vector<double> seconds;
    double Min() const;
    double Median() const;
};

// The measured figures of one document size.
struct SizeResult {
    std::uint64_t documentSize = 0;
    Timings conversion;
    Timings floorOneThread;
    Timings floorTwoThreads;
    std::uint64_t conversionPeakKiB = 0;  // highest of the rounds
    std::uint64_t inspectPeakKiB = 0;     // quorlix-cli inspect of the output
    std::uint64_t extractPeakKiB = 0;     // quorlix-cli extract of the output
};

// The measured figures of the batch of small documents.
struct BatchResult {
    std::uint64_t documents = 0;
    std::uint64_t documentSize = 0;
    Timings conversion;
    Timings stubFloor;
    Timings syncedStubs;       // the stubs again, each file synced to disk: not part of the floor
    Timings signedConversion;  // the conversion with every output signed (no timestamp)
};

// Prints the table of the results (ascending sizes, the first the smallest) and the batch's
// line (when documents > 0) with a PASS or FAIL per target; returns true when every target is
// met.
bool PrintReport(const std::vector<SizeResult>& results, const BatchResult& batch,
                 std::uint64_t packageSize);

}  // namespace quorlix::bench
