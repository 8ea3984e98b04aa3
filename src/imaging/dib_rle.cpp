// Run-length encoded bitmaps: RLE8 (one index a byte) and RLE4 (two indexes a byte).
#include "imaging/dib_rle.h"

#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Where the decoder paints: a cursor over the picture, bottom row first.
class RlePainter {
public:
    RlePainter(const DibInfo& info, RgbaImage& image) : info_(info), image_(image) {}

    void Paint(std::uint8_t index) {
        if (x_ < info_.width && y_ < info_.height) {
            const auto& colour = info_.palette[index];
            std::uint8_t* p =
                image_.pixels.data() + ((info_.height - 1 - y_) * info_.width + x_) * 4;
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
            p[3] = 255;
        }
        ++x_;
    }
    void NextLine() {
        x_ = 0;
        ++y_;
    }
    void Move(std::uint8_t dx, std::uint8_t dy) {
        x_ += dx;
        y_ += dy;
    }
    bool Done() const { return y_ >= info_.height; }

private:
    const DibInfo& info_;
    RgbaImage& image_;
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
};

// The nth index of a run or literal: RLE4 alternates the high and low half of each byte.
std::uint8_t IndexAt(std::uint8_t byte, int n, bool four) {
    if (!four) {
        return byte;
    }
    return n % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

// Pixels the data skips keep colour 0, as in a bitmap whose bits start cleared.
void FillWithIndexZero(const DibInfo& info, RgbaImage& image) {
    const auto& colour = info.palette[0];
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = colour[0];
        image.pixels[i + 1] = colour[1];
        image.pixels[i + 2] = colour[2];
        image.pixels[i + 3] = 255;
    }
}

[[noreturn]] void FailRle() {
    throw Error("Damaged BMP picture: compressed pixel data ends early");
}

}  // namespace

RgbaImage DecodeRle(const DibInfo& info, std::span<const std::uint8_t> data,
                    std::uint64_t maxPixels) {
    RgbaImage image = NewRgbaImage(info.width, info.height, maxPixels);
    FillWithIndexZero(info, image);
    RlePainter painter(info, image);
    const bool four = info.compression == 2;
    std::size_t at = 0;
    while (!painter.Done()) {
        if (at + 2 > data.size()) {
            FailRle();
        }
        const std::uint8_t count = data[at];
        const std::uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int n = 0; n < count; ++n) {
                painter.Paint(IndexAt(value, n, four));
            }
        } else if (value == 0) {
            painter.NextLine();
        } else if (value == 1) {
            return image;
        } else if (value == 2) {
            if (at + 2 > data.size()) {
                FailRle();
            }
            painter.Move(data[at], data[at + 1]);
            at += 2;
        } else {
            // A literal run of `value` indexes, padded to an even number of bytes.
            const std::size_t bytes = four ? (value + 1u) / 2 : value;
            if (at + bytes > data.size()) {
                FailRle();
            }
            for (int n = 0; n < value; ++n) {
                painter.Paint(IndexAt(data[at + (four ? n / 2 : n)], n, four));
            }
            at += bytes + bytes % 2;
        }
    }
    return image;
}

}  // namespace quorlix
