#pragma once

#include <stdexcept>
#include <string>

namespace quorlix {

// An error raised with the exact message text the user or the caller is to see.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quorlix
