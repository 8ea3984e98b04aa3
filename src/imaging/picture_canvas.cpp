#include "imaging/picture_canvas.h"

#include <algorithm>
#include <cstring>

#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// For each of `from` positions, the one of `to` it falls on, and how many fall on each.
void MapPositions(int from, int to, std::vector<int>& of, std::vector<std::uint32_t>& count) {
    of.resize(static_cast<std::size_t>(from));
    count.assign(static_cast<std::size_t>(to), 0);
    for (int i = 0; i < from; ++i) {
        const int j = static_cast<int>(std::int64_t{i} * to / from);
        of[static_cast<std::size_t>(i)] = j;
        ++count[static_cast<std::size_t>(j)];
    }
}

std::uint8_t RoundedQuotient(std::uint64_t numerator, std::uint64_t denominator) {
    return static_cast<std::uint8_t>(
        std::min<std::uint64_t>(255, (numerator + denominator / 2) / denominator));
}

}  // namespace

PixelSize FittedSize(PixelSize picture, PixelSize box) {
    if (picture.width <= box.width && picture.height <= box.height) {
        return picture;
    }
    const std::int64_t w = picture.width;
    const std::int64_t h = picture.height;
    // The side that limits: the height when the width it gives fits the box.
    const std::int64_t widthAtBoxHeight = std::int64_t{box.height} * w / h;
    PixelSize fitted =
        widthAtBoxHeight <= box.width
            ? PixelSize{static_cast<int>(widthAtBoxHeight), box.height}
            : PixelSize{box.width, static_cast<int>(std::int64_t{box.width} * h / w)};
    fitted.width = std::max(fitted.width, 1);
    fitted.height = std::max(fitted.height, 1);
    return fitted;
}

PictureCanvas::PictureCanvas(std::optional<PixelSize> box, std::uint64_t maxPixels)
    : box_(box), maxPixels_(maxPixels) {}

void PictureCanvas::SetPictureSize(std::int64_t width, std::int64_t height) {
    CheckImageSize(width, height, maxPixels_);
    const PixelSize picture{static_cast<int>(width), static_cast<int>(height)};
    picture_ = picture;
    target_ = box_ ? FittedSize(picture, *box_) : picture;
    decoded_ = picture;
    if (target_ == picture) {
        whole_ = NewRgbaImage(width, height, maxPixels_);
        return;
    }
    reduced_.emplace();
    SetDecodedSize(picture.width, picture.height);
}

void PictureCanvas::SetDecodedSize(int width, int height) {
    decoded_ = {width, height};
    if (!reduced_) {
        return;
    }
    if (width < target_.width || height < target_.height) {
        throw Error("Picture decoded below the size it is shown at");
    }
    MapPositions(width, target_.width, reduced_->columnOf, reduced_->columnCount);
    MapPositions(height, target_.height, reduced_->rowOf, reduced_->rowCount);
    reduced_->sums.assign(static_cast<std::size_t>(target_.width) * target_.height * 4, 0);
}

void PictureCanvas::Put(int x, int y, const std::uint8_t* rgba, int count) {
    if (y < 0 || y >= decoded_.height || x < 0 || x >= decoded_.width) {
        return;
    }
    count = std::min(count, decoded_.width - x);
    if (!reduced_) {
        std::memcpy(whole_.pixels.data() + (std::size_t(y) * decoded_.width + x) * 4, rgba,
                    std::size_t(count) * 4);
        return;
    }
    std::uint64_t* row =
        reduced_->sums.data() + std::size_t(reduced_->rowOf[std::size_t(y)]) * target_.width * 4;
    for (int i = 0; i < count; ++i, rgba += 4) {
        std::uint64_t* sum = row + std::size_t(reduced_->columnOf[std::size_t(x + i)]) * 4;
        const std::uint64_t alpha = rgba[3];
        sum[0] += rgba[0] * alpha;
        sum[1] += rgba[1] * alpha;
        sum[2] += rgba[2] * alpha;
        sum[3] += alpha;
    }
}

RgbaImage PictureCanvas::Take() {
    if (!reduced_) {
        return std::move(whole_);
    }
    RgbaImage image = NewRgbaImage(target_.width, target_.height, maxPixels_);
    for (int ty = 0; ty < target_.height; ++ty) {
        for (int tx = 0; tx < target_.width; ++tx) {
            const std::size_t at = (std::size_t(ty) * target_.width + tx) * 4;
            const std::uint64_t* sum = reduced_->sums.data() + at;
            std::uint8_t* out = image.pixels.data() + at;
            const std::uint64_t pixels = std::uint64_t{reduced_->columnCount[std::size_t(tx)]} *
                                         reduced_->rowCount[std::size_t(ty)];
            if (sum[3] == 0) {
                continue;  // nothing but transparency fell here
            }
            for (int c = 0; c < 3; ++c) {
                out[c] = RoundedQuotient(sum[c], sum[3]);
            }
            out[3] = RoundedQuotient(sum[3], pixels);
        }
    }
    return image;
}

}  // namespace quorlix
