#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/rgba_image.h"

namespace quorlix {

// What a device-independent bitmap's header, colour masks and colour table say.
struct DibInfo {
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows, always positive; topDown tells the order
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = 0;                     // 0 none, 1 RLE8, 2 RLE4, 3 or 6 bit fields
    std::array<std::uint32_t, 4> masks{};              // red, green, blue, alpha (alpha 0: opaque)
    std::vector<std::array<std::uint8_t, 3>> palette;  // red, green, blue
    std::size_t tableEnd = 0;  // offset of the first byte after header, masks and colour table
};

// Reads the header at the start of dib (after a file header, or an icon image); the colour
// table must lie within dib. Throws quorlix::Error for anything it cannot decode.
DibInfo ReadDibInfo(std::span<const std::uint8_t> dib);

// The bytes of pixel data that an uncompressed bitmap of this shape needs.
std::uint64_t DibPixelBytes(const DibInfo& info);

// Decodes the pixel data. With alphaFromPixels, a 32-bit bitmap without bit fields takes its
// fourth byte as alpha (icons do); otherwise such a bitmap is opaque.
RgbaImage DecodeDibPixels(const DibInfo& info, std::span<const std::uint8_t> data,
                          std::uint64_t maxPixels, bool alphaFromPixels);

}  // namespace quorlix
