#include "report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

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

void PrintSizes(const std::vector<SizeResult>& results, bool& allMet) {
    std::printf("%-5s %3s %15s %15s %15s %6s %6s %-6s %8s %7s %-5s\n", "size", "rnd",
                "conversion s", "floor 1 thr s", "floor 2 thr s", "ratio", "median", "<=1.15",
                "peak MiB", "over", "<=16M");
    std::printf("%-5s %3s %15s %15s %15s %6s %6s\n", "", "", "min / median", "min / median",
                "min / median", "(min)", "ratio");
    const double smallestPeak = MiB(results.front().conversionPeakKiB);
    for (const SizeResult& r : results) {
        const double floor = r.floorTwoThreads.Min();
        const double ratio = floor > 0 ? r.conversion.Min() / floor : 0.0;
        const double medianFloor = r.floorTwoThreads.Median();
        const double medianRatio = medianFloor > 0 ? r.conversion.Median() / medianFloor : 0.0;
        // Rounded to the tenth printed, never shown as -0.0.
        const double over = std::round((MiB(r.conversionPeakKiB) - smallestPeak) * 10) / 10 + 0.0;
        const bool ratioMet = floor > 0 && ratio <= kRatioTarget;
        const bool memoryMet = over <= kMemoryTargetMiB;
        allMet = allMet && ratioMet && memoryMet;
        std::printf(
            "%-5s %3zu %7.3f/%7.3f %7.3f/%7.3f %7.3f/%7.3f %6.2f %6.2f %-6s %8.1f %+7.1f %-5s\n",
            SizeLabel(r.documentSize).c_str(), r.conversion.seconds.size(), r.conversion.Min(),
            r.conversion.Median(), r.floorOneThread.Min(), r.floorOneThread.Median(),
            r.floorTwoThreads.Min(), r.floorTwoThreads.Median(), ratio, medianRatio,
            Verdict(ratioMet), MiB(r.conversionPeakKiB), over, Verdict(memoryMet));
    }
}

void PrintBatch(const BatchResult& batch, bool& allMet) {
    const double n = static_cast<double>(batch.documents);
    const double conversion = batch.conversion.Min() * 1000 / n;
    const double floor = batch.stubFloor.Min() * 1000 / n;
    const double beyond = conversion - floor;
    const double medianBeyond = (batch.conversion.Median() - batch.stubFloor.Median()) * 1000 / n;
    const bool met = beyond <= kBatchTargetMs;
    allMet = allMet && met;
    std::printf("\nbatch of %llu documents of %s, %zu rounds, ms per document (min; median):\n",
                static_cast<unsigned long long>(batch.documents),
                SizeLabel(batch.documentSize).c_str(), batch.conversion.seconds.size());
    std::printf(
        "  conversion %.3f; %.3f   stub from memory %.3f; %.3f   beyond the floor %.3f; "
        "%.3f   <=0.5 %s\n",
        conversion, batch.conversion.Median() * 1000 / n, floor,
        batch.stubFloor.Median() * 1000 / n, beyond, medianBeyond, Verdict(met));
    if (!batch.syncedStubs.seconds.empty()) {
        std::printf("  for comparison, the stubs from memory with each file synced: %.3f; %.3f\n",
                    batch.syncedStubs.Min() * 1000 / n, batch.syncedStubs.Median() * 1000 / n);
    }
    if (!batch.signedConversion.seconds.empty()) {
        const double signedMin = batch.signedConversion.Min() * 1000 / n;
        const double signedMedian = batch.signedConversion.Median() * 1000 / n;
        std::printf("  signed (RSA 2048, no timestamp) %.3f; %.3f   signing adds %.3f; %.3f\n",
                    signedMin, signedMedian, signedMin - conversion,
                    signedMedian - batch.conversion.Median() * 1000 / n);
    }
}

}  // namespace

double Timings::Min() const {
    return seconds.empty() ? 0.0 : *std::min_element(seconds.begin(), seconds.end());
}

double Timings::Median() const {
    if (seconds.empty()) {
        return 0.0;
    }
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t middle = sorted.size() / 2;
    return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

bool PrintReport(const std::vector<SizeResult>& results, const BatchResult& batch,
                 std::uint64_t packageSize) {
    bool allMet = true;
    if (!results.empty()) {
        std::printf(
            "\nquorlix-bench: document sizes below, package files %s bytes in all; the "
            "ratio is conversion / two-thread floor\n",
            SizeLabel(packageSize).c_str());
        PrintSizes(results, allMet);
    }
    if (batch.documents > 0) {
        PrintBatch(batch, allMet);
    }
    if (!results.empty()) {
        allMet = PrintReaderReport(results) && allMet;
    }
    std::printf("%s\n", allMet ? "all targets met" : "a target was missed");
    return allMet;
}

}  // namespace quorlix::bench
