#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlix {

// One line of a package directory: "name|record length" CR LF.
struct DirectoryLine {
    std::string name;            // the entry's name as stored (ANSI text, '\' separators)
    std::uint32_t recordLength;  // 4 + the length of the entry's zlib stream
    std::uint64_t position;      // file position of the line's first byte
};

// Splits a package directory that starts at file position `position` into its lines; throws
// PayloadError at the offending line for a line without CR LF, without "|", or whose record
// length is not a decimal number from 4 to 4294967295.
std::vector<DirectoryLine> ParsePackageDirectory(std::string_view text, std::uint64_t position);

}  // namespace quorlix
