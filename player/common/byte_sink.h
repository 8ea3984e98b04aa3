#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlix {

// Where a writer of a binary format hands its bytes, in order.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const std::uint8_t* data, std::size_t count) = 0;
};

}  // namespace quorlix
