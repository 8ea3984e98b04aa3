#pragma once

// What every picture fuzz target does: decode a copy of the input, which must either give a whole
// picture or throw quorlix::Error.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/rgba_image.h"
#include "platform/error.h"

// A smaller pixel limit than the program's keeps each run quick.
inline constexpr std::uint64_t kFuzzMaxPixels = 1u << 22;

inline void CheckWhole(const quorlix::RgbaImage& image) {
    if (image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 4) {
        std::abort();
    }
}

template <typename Decode>
int FuzzPictureDecoder(const std::uint8_t* data, std::size_t size, Decode decode) {
    // A copy of exactly the input's size, so a read past it is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    try {
        decode(bytes);
    } catch (const quorlix::Error&) {
    }
    return 0;
}
