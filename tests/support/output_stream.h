#pragma once

#include <cstddef>

namespace quorlix::test {

// Where a copy writes its bytes: a compressor or any other byte consumer.
class OutputStream {
public:
    virtual ~OutputStream() = default;

    // Takes all count bytes or throws.
    virtual void Write(const void* buffer, std::size_t count) = 0;
};

}  // namespace quorlix::test
