#include "imaging/image_size.h"

#include <string>

#include "platform/error.h"

namespace quorlix {

void CheckImageSize(std::int64_t width, std::int64_t height, std::uint64_t maxPixels) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0) {
        throw Error("Picture has no pixels: " + size);
    }
    // A side beyond the limit on its own is refused before the product is formed, so the product
    // cannot overflow; no side may exceed what an int holds either.
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    constexpr std::uint64_t kMaxSide = 1u << 30;
    if (w > maxPixels || h > maxPixels || w > kMaxSide || h > kMaxSide || w * h > maxPixels) {
        throw Error("Picture too large: " + size + " pixels, more than " +
                    std::to_string(maxPixels) + " pixels");
    }
}

RgbaImage NewRgbaImage(std::int64_t width, std::int64_t height, std::uint64_t maxPixels) {
    CheckImageSize(width, height, maxPixels);
    RgbaImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    return image;
}

}  // namespace quorlix
