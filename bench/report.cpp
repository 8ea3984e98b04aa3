#include "report.h"

#include <cmath>
#include <cstdio>

#include "bench_options.h"

namespace quorlix::bench {

namespace {

const char* Verdict(bool met) {
    return met ? "PASS" : "FAIL";
}

double MiB(std::uint64_t kib) {
    return static_cast<double>(kib) / 1024.0;
}

// One reader's peak memory against the smallest size's; returns whether the target is met.
bool PrintReaderPeak(std::uint64_t peakKiB, std::uint64_t smallestKiB) {
    const double over = std::round((MiB(peakKiB) - MiB(smallestKiB)) * 10) / 10 + 0.0;
    const bool met = over <= kMemoryTargetMiB;
    std::printf(" %12.1f %+15.1f %-6s", MiB(peakKiB), over, Verdict(met));
    return met;
}

// The peak memory of inspect and extract of each size's output.
bool PrintReaderReport(const std::vector<SizeResult>& results) {
    std::printf("%-6s %12s %15s %-6s %12s %15s %-6s\n", "size", "inspect MiB", "over smallest",
                "<=16M", "extract MiB", "over smallest", "<=16M");
    bool allMet = true;
    for (const SizeResult& r : results) {
        std::printf("%-6s", SizeLabel(r.documentSize).c_str());
        allMet = PrintReaderPeak(r.inspectPeakKiB, results.front().inspectPeakKiB) && allMet;
        allMet = PrintReaderPeak(r.extractPeakKiB, results.front().extractPeakKiB) && allMet;
        std::printf("\n");
    }
    return allMet;
}

}  // namespace

bool PrintReport(const std::vector<SizeResult>& results, std::uint64_t packageSize) {
    if (results.empty()) {
        return true;
    }
    std::printf("\nquorlix-bench: document sizes below, package files %s bytes in all\n",
                SizeLabel(packageSize).c_str());
    std::printf("%-6s %6s %13s %13s %7s %-6s %12s %15s %-6s\n", "size", "rounds", "conversion s",
                "least work s", "ratio", "<=1.10", "peak RSS MiB", "over smallest", "<=16M");
    const double smallestPeak = MiB(results.front().conversionPeakKiB);
    bool allMet = true;
    for (const SizeResult& r : results) {
        const double ratio =
            r.leastWorkSeconds > 0 ? r.conversionSeconds / r.leastWorkSeconds : 0.0;
        // Rounded to the tenth printed, never shown as -0.0.
        const double over = std::round((MiB(r.conversionPeakKiB) - smallestPeak) * 10) / 10 + 0.0;
        const bool ratioMet = r.leastWorkSeconds > 0 && ratio <= kRatioTarget;
        const bool memoryMet = over <= kMemoryTargetMiB;
        allMet = allMet && ratioMet && memoryMet;
        std::printf("%-6s %6d %13.3f %13.3f %7.3f %-6s %12.1f %+15.1f %-6s\n",
                    SizeLabel(r.documentSize).c_str(), r.rounds, r.conversionSeconds,
                    r.leastWorkSeconds, ratio, Verdict(ratioMet), MiB(r.conversionPeakKiB), over,
                    Verdict(memoryMet));
    }
    allMet = PrintReaderReport(results) && allMet;
    std::printf("%s\n", allMet ? "all targets met" : "a target was missed");
    return allMet;
}

}  // namespace quorlix::bench
