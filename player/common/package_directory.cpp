#include "common/package_directory.h"

#include "common/payload_error.h"

namespace quorlix {

namespace {

std::uint32_t ParseRecordLength(std::string_view digits, std::uint64_t position) {
    if (digits.empty()) {
        throw PayloadError(position, "directory line without a record length");
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            throw PayloadError(
                position, "record length \"" + std::string(digits) + "\" is not a decimal number");
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFu) {
            throw PayloadError(position, "record length " + std::string(digits) + " too large");
        }
    }
    if (value < 4) {
        throw PayloadError(position, "record length " + std::string(digits) + " below 4");
    }
    return static_cast<std::uint32_t>(value);
}

DirectoryLine ParseLine(std::string_view line, std::uint64_t position) {
    const std::size_t bar = line.find('|');
    if (bar == std::string_view::npos) {
        throw PayloadError(position, "directory line without \"|\"");
    }
    return {std::string(line.substr(0, bar)), ParseRecordLength(line.substr(bar + 1), position),
            position};
}

}  // namespace

std::vector<DirectoryLine> ParsePackageDirectory(std::string_view text, std::uint64_t position) {
    std::vector<DirectoryLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            throw PayloadError(position + start, "directory line without CR LF");
        }
        lines.push_back(ParseLine(text.substr(start, end - start), position + start));
        start = end + 2;
    }
    return lines;
}

}  // namespace quorlix
