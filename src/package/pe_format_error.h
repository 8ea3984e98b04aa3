#pragma once

#include <stdexcept>
#include <string>

namespace quorlix {

// An executable whose headers or resource tree do not hold together, or cannot be rewritten.
class PeFormatError : public std::runtime_error {
public:
    explicit PeFormatError(const std::string& what) : std::runtime_error(what) {}
};

// The system error code reported for a damaged executable (Windows' ERROR_BAD_EXE_FORMAT).
inline constexpr int kBadExeFormatCode = 193;

}  // namespace quorlix
