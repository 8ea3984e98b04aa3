#pragma once

#include <cstdint>
#include <vector>

namespace quorlix::bench {

// The targets: conversion at most 10% slower than the least work, and peak memory at most
// 16 MiB above that of the smallest size.
inline constexpr double kRatioTarget = 1.10;
inline constexpr double kMemoryTargetMiB = 16.0;

// The measured figures of one document size.
struct SizeResult {
    std::uint64_t documentSize = 0;
    double conversionSeconds = 0;         // best of the rounds
    double leastWorkSeconds = 0;          // best of the rounds
    std::uint64_t conversionPeakKiB = 0;  // highest of the rounds
    std::uint64_t inspectPeakKiB = 0;     // quorlix-cli inspect of the output
    std::uint64_t extractPeakKiB = 0;     // quorlix-cli extract of the output
    int rounds = 0;
};

// Prints the table of the results (ascending sizes, the first the smallest) with a PASS or FAIL
// per target; returns true when every target is met.
bool PrintReport(const std::vector<SizeResult>& results, std::uint64_t packageSize);

}  // namespace quorlix::bench
