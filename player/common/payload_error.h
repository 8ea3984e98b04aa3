#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quorlix {

// A damaged or missing payload in an output executable: the file position where the reader found
// the fault and the reason, in English. what() is the reason followed by " at byte " and the
// position.
class PayloadError : public std::runtime_error {
public:
    PayloadError(std::uint64_t position, const std::string& reason);

    std::uint64_t position() const { return position_; }
    const std::string& reason() const { return reason_; }

private:
    std::uint64_t position_;
    std::string reason_;
};

}  // namespace quorlix
