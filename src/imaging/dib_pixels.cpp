// Decoding a bitmap's pixel data: colour indexes, bit fields, 24-bit colours, RLE8 and RLE4.
#include <bit>
#include <string>

#include "common/byte_order.h"
#include "imaging/dib.h"
#include "imaging/dib_rle.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// One channel taken out of a pixel value by its mask and scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m)
        : mask(m), shift(m ? std::countr_zero(m) : 0), max(m ? m >> shift : 0) {}
    std::uint8_t Get(std::uint32_t value, std::uint8_t absent) const {
        if (max == 0) {
            return absent;
        }
        return static_cast<std::uint8_t>(std::uint64_t{(value & mask) >> shift} * 255 / max);
    }
};

std::uint32_t PixelValue(const std::uint8_t* row, std::int64_t x, int bits) {
    switch (bits) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 1;
        case 4:
            return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
        case 8:
            return row[x];
        case 16:
            return GetLE16(row + 2 * x);
        case 24:
            return std::uint32_t{row[3 * x]} | (std::uint32_t{row[3 * x + 1]} << 8) |
                   (std::uint32_t{row[3 * x + 2]} << 16);
        default:
            return GetLE32(row + 4 * x);
    }
}

void DecodeRow(const DibInfo& info, const std::uint8_t* row, std::uint8_t* out, bool alpha) {
    const Channel red(info.masks[0]), green(info.masks[1]), blue(info.masks[2]);
    const Channel alphaChannel(alpha && info.masks[3] == 0 ? 0xFF000000u : info.masks[3]);
    for (std::int64_t x = 0; x < info.width; ++x, out += 4) {
        const std::uint32_t value = PixelValue(row, x, info.bits);
        if (info.bits <= 8) {
            const auto& colour = info.palette[value];
            out[0] = colour[0];
            out[1] = colour[1];
            out[2] = colour[2];
            out[3] = 255;
            continue;
        }
        out[0] = red.Get(value, 0);
        out[1] = green.Get(value, 0);
        out[2] = blue.Get(value, 0);
        out[3] = alphaChannel.Get(value, 255);
    }
}

RgbaImage DecodeUncompressed(const DibInfo& info, std::span<const std::uint8_t> data,
                             std::uint64_t maxPixels, bool alpha) {
    if (DibPixelBytes(info) > data.size()) {
        throw Error("Damaged BMP picture: pixel data ends early");
    }
    RgbaImage image = NewRgbaImage(info.width, info.height, maxPixels);
    const std::size_t stride = static_cast<std::size_t>(DibPixelBytes(info) / info.height);
    for (std::int64_t y = 0; y < info.height; ++y) {
        const std::int64_t outRow = info.topDown ? y : info.height - 1 - y;
        DecodeRow(info, data.data() + y * stride, image.pixels.data() + outRow * info.width * 4,
                  alpha && info.compression == 0);
    }
    return image;
}

}  // namespace

RgbaImage DecodeDibPixels(const DibInfo& info, std::span<const std::uint8_t> data,
                          std::uint64_t maxPixels, bool alphaFromPixels) {
    CheckImageSize(info.width, info.height, maxPixels);
    if (info.compression == 1 || info.compression == 2) {
        return DecodeRle(info, data, maxPixels);
    }
    return DecodeUncompressed(info, data, maxPixels, alphaFromPixels && info.bits == 32);
}

}  // namespace quorlix
