#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorlix::bench {

// What the command line asks the benchmark to do.
struct BenchOptions {
    std::vector<std::uint64_t> sizes;  // document sizes in bytes, ascending, each once
    std::string workFolder;            // where the scratch folder goes; empty: the temporary folder
    bool keep = false;                 // leave the generated inputs in place
    int rounds = 0;                    // runs of each case; 0: 3
    int batch = 500;                   // documents of 10 KiB converted as a batch; 0: none
    bool help = false;
};

// A command line the benchmark cannot run with.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

inline constexpr const char* kUsage =
    "usage: quorlix-bench [--sizes 1M,100M,1G] [--batch N] [--work DIR] [--keep] [--rounds N]\n"
    "  --sizes   document sizes, with the suffix K, M or G (binary); default 1M,100M,1G\n"
    "  --work    existing folder for the scratch files (default: the temporary folder)\n"
    "  --keep    leave the generated document and package files in place\n"
    "  --batch   documents of 10K converted as one batch (default 500; 0: no batch)\n"
    "  --rounds  runs of each case, alternating, minimum and median kept (default 3)\n"
    "Exit status 0 when every target is met, 1 when one is missed, 2 on an error.\n";

// Reads the command line; throws UsageError.
BenchOptions ParseOptions(int argc, char** argv);

// "1M" -> 1,048,576; a plain number is bytes. Throws UsageError.
std::uint64_t ParseSize(const std::string& text);

// The size as the shortest of "1G", "100M", "64K" or the plain byte count.
std::string SizeLabel(std::uint64_t size);

}  // namespace quorlix::bench
