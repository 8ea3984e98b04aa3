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
    std::printf("%s\n", allMet ? "all targets met" : "a target was missed");
    return allMet;
}

}  // namespace quorlix::bench
