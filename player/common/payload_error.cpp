#include "common/payload_error.h"

namespace quorlix {

PayloadError::PayloadError(std::uint64_t position, const std::string& reason)
    : std::runtime_error(reason + " at byte " + std::to_string(position)),
      position_(position),
      reason_(reason) {}

}  // namespace quorlix
