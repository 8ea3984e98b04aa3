#pragma once

#include <cstdint>
#include <vector>

#include "common/byte_sink.h"

namespace quorlix {

// Hands on what is written to it scrambled with the document section's key, the key running on
// without a break from the first byte written: the bytes the converter's chunked copy gives.
class ScramblingSink final : public ByteSink {
public:
    explicit ScramblingSink(ByteSink& target) : target_(target) {}

    void Write(const std::uint8_t* data, std::size_t count) override;

    // The number of bytes written so far.
    std::uint64_t written() const { return written_; }

private:
    ByteSink& target_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t written_ = 0;
};

}  // namespace quorlix
