#pragma once

#include <cstdint>
#include <span>

#include "imaging/dib.h"

namespace quorlix {

// Decodes RLE8 or RLE4 pixel data (bottom-up). Pixels the data skips take colour 0; data that
// ends before the last row is reached, without an end-of-bitmap code, throws quorlix::Error.
RgbaImage DecodeRle(const DibInfo& info, std::span<const std::uint8_t> data,
                    std::uint64_t maxPixels);

}  // namespace quorlix
