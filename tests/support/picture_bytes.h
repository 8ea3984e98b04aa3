#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/rgba_image.h"

namespace quorlix::test {

using Bytes = std::vector<std::uint8_t>;

// Appends little-endian fields, for pictures that tests put together by hand.
class ByteWriter {
public:
    ByteWriter& U8(unsigned v);
    ByteWriter& U16(unsigned v);
    ByteWriter& U32(std::uint32_t v);
    ByteWriter& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    ByteWriter& Append(std::span<const std::uint8_t> more);
    void SetU32(std::size_t at, std::uint32_t v);
    Bytes& bytes() { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    Bytes bytes_;
};

// An RGBA picture of the given size, each pixel from a function of its position.
template <typename Colour>
RgbaImage MakeImage(int width, int height, Colour colour) {
    RgbaImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto [r, g, b, a] = colour(x, y);
            image.pixels.insert(image.pixels.end(), {r, g, b, a});
        }
    }
    return image;
}

// Pictures written through the libraries themselves (not through the loaders under test).
Bytes EncodeJpeg(const RgbaImage& image, bool grey = false);
Bytes EncodePng(const RgbaImage& image);
Bytes EncodeInterlacedPng(const RgbaImage& image);
// A GIF of one frame at (left, top) on a screen; colours index the table; transparent < 0: none.
struct GifFrame {
    int screenWidth, screenHeight, left, top, width, height;
    bool interlaced;
    int transparent;
    std::vector<std::uint8_t> indexes;                 // width * height
    std::vector<std::array<std::uint8_t, 3>> colours;  // 2, 4, ... 256 entries
};
Bytes EncodeGif(const GifFrame& frame);

// Loading must fail with quorlix::Error whose text holds words (and not crash).
void ExpectDamaged(const Bytes& bytes, const std::string& words);
// Every single-byte flip of a small picture either loads whole or fails with quorlix::Error.
void ExpectEveryFlipHandled(const Bytes& bytes, std::uint64_t maxPixels = kMaxImagePixels);

// The RGBA pixel at x, y.
std::array<std::uint8_t, 4> PixelAt(const RgbaImage& image, int x, int y);

}  // namespace quorlix::test
