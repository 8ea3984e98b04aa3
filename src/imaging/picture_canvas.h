#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/rgba_image.h"

namespace quorlix {

// A width and a height in pixels.
struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The size a picture is shown at in a box: its own when it fits, else shrunk without distortion
// until both sides fit (never below 1 x 1).
PixelSize FittedSize(PixelSize picture, PixelSize box);

// What a decoder writes the pixels it decodes into: the whole picture, or, given a box, the
// picture at the size it is shown at in that box, each pixel the alpha-weighted average of the
// pixels that fall on it, summed as they arrive so that the whole picture is never held. Pixels
// may arrive in any order (interlaced pictures); those that never arrive are transparent black.
class PictureCanvas {
public:
    PictureCanvas(std::optional<PixelSize> box, std::uint64_t maxPixels);

    // The picture's size, checked against the pixel limit (quorlix::Error).
    void SetPictureSize(std::int64_t width, std::int64_t height);
    // Whether pixels are wanted at less than full size: then the decoder may pass them at any
    // size down to target() (libjpeg's scaled decoding) by calling SetDecodedSize.
    bool Reduces() const { return reduced_.has_value(); }
    PixelSize target() const { return target_; }
    PixelSize pictureSize() const { return picture_; }
    // The size the decoder passes pixels at, when it is not the picture's size.
    void SetDecodedSize(int width, int height);

    // Writes count RGBA pixels of row y, from column x on, in decoded coordinates.
    void Put(int x, int y, const std::uint8_t* rgba, int count);

    // The finished picture.
    RgbaImage Take();

private:
    struct Reduction {
        std::vector<int> columnOf;               // target column of each decoded column
        std::vector<int> rowOf;                  // target row of each decoded row
        std::vector<std::uint32_t> columnCount;  // decoded columns per target column
        std::vector<std::uint32_t> rowCount;     // decoded rows per target row
        std::vector<std::uint64_t> sums;         // per target pixel: r*a, g*a, b*a, a
    };

    std::optional<PixelSize> box_;
    std::uint64_t maxPixels_;
    PixelSize picture_;
    PixelSize target_;
    PixelSize decoded_;
    RgbaImage whole_;
    std::optional<Reduction> reduced_;
};

}  // namespace quorlix
