#include "bench_options.h"

#include <algorithm>
#include <cctype>

#include "platform/file_system.h"

namespace quorlix::bench {

namespace {

constexpr std::uint64_t kKiB = 1024;
// The conversion counts the staged size in a signed 32-bit number; leave room for the package.
constexpr std::uint64_t kLargestSize = 1920 * kKiB * kKiB;

std::vector<std::uint64_t> ParseSizes(const std::string& list) {
    std::vector<std::uint64_t> sizes;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        sizes.push_back(ParseSize(list.substr(start, comma - start)));
        start = comma + 1;
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

std::string ValueOf(int argc, char** argv, int& i) {
    if (i + 1 >= argc) {
        throw UsageError(std::string(argv[i]) + " needs a value");
    }
    return argv[++i];
}

}  // namespace

std::uint64_t ParseSize(const std::string& text) {
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
        ++digits;
    }
    const std::string suffix = text.substr(digits);
    if (digits == 0 || digits > 10 || suffix.size() > 1) {
        throw UsageError("not a size: \"" + text + "\"");
    }
    std::uint64_t size = std::stoull(text.substr(0, digits));
    const char unit = suffix.empty() ? 'B' : static_cast<char>(std::toupper(suffix[0]));
    const std::string units = "BKMG";
    const std::size_t power = units.find(unit);
    if (power == std::string::npos) {
        throw UsageError("not a size: \"" + text + "\"");
    }
    for (std::size_t k = 0; k < power && size <= kLargestSize; ++k) {
        size *= kKiB;
    }
    if (size == 0 || size > kLargestSize) {
        throw UsageError("a size must be between 1 byte and 1920M: \"" + text + "\"");
    }
    return size;
}

std::string SizeLabel(std::uint64_t size) {
    const char* units = "KMG";
    std::string label = std::to_string(size);
    for (int k = 0; k < 3 && size % kKiB == 0; ++k) {
        size /= kKiB;
        label = std::to_string(size) + units[k];
    }
    return label;
}

BenchOptions ParseOptions(int argc, char** argv) {
    BenchOptions options;
    std::string sizes = "1M,100M,1G";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sizes") {
            sizes = ValueOf(argc, argv, i);
        } else if (arg == "--work") {
            options.workFolder = ValueOf(argc, argv, i);
        } else if (arg == "--keep") {
            options.keep = true;
        } else if (arg == "--rounds") {
            const std::string value = ValueOf(argc, argv, i);
            if (value.empty() || value.size() > 2 ||
                !std::all_of(value.begin(), value.end(),
                             [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) ||
                std::stoi(value) == 0) {
                throw UsageError("--rounds needs a number from 1 to 99");
            }
            options.rounds = std::stoi(value);
        } else if (arg == "--batch") {
            const std::string value = ValueOf(argc, argv, i);
            if (value.empty() || value.size() > 4 ||
                !std::all_of(value.begin(), value.end(),
                             [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
                throw UsageError("--batch needs a number from 0 to 9999");
            }
            options.batch = std::stoi(value);
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else {
            throw UsageError("unknown argument \"" + arg + "\"");
        }
    }
    options.sizes = ParseSizes(sizes);
    if (!options.workFolder.empty() && !FolderExists(options.workFolder)) {
        throw UsageError("the folder \"" + options.workFolder + "\" does not exist");
    }
    return options;
}

}  // namespace quorlix::bench
