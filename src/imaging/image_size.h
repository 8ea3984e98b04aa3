#pragma once

#include <cstdint>

#include "imaging/rgba_image.h"

namespace quorlix {

// Checks a declared picture size against the pixel limit before anything is allocated; a size
// that is empty, negative or larger than maxPixels throws quorlix::Error.
void CheckImageSize(std::int64_t width, std::int64_t height, std::uint64_t maxPixels);

// A picture of the given size with every pixel transparent black, after CheckImageSize.
RgbaImage NewRgbaImage(std::int64_t width, std::int64_t height, std::uint64_t maxPixels);

}  // namespace quorlix
