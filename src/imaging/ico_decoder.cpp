// Icon files: a directory of images, each a PNG file or a bitmap without a file header whose
// colour rows are followed by a 1-bit AND mask (set bits are transparent).
#include <cstdlib>
#include <string>

#include "common/byte_order.h"
#include "imaging/decoders.h"
#include "imaging/dib.h"
#include "imaging/image_loading.h"
#include "package/icon_replacement.h"
#include "platform/error.h"

namespace quorlix {

namespace {

constexpr std::size_t kIconHeader = 6;
constexpr std::size_t kIconEntry = 16;
constexpr int kSystemIconSize = 32;  // the size a window shows an icon at

[[noreturn]] void FailIcon(const std::string& reason) {
    throw Error("Damaged icon file: " + reason);
}

bool AnyAlpha(const RgbaImage& image) {
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
        if (image.pixels[i] != 0) {
            return true;
        }
    }
    return false;
}

// Clears the pixels whose AND mask bit is set.
void ApplyAndMask(const DibInfo& info, std::span<const std::uint8_t> mask, RgbaImage& image) {
    const std::size_t stride = (static_cast<std::size_t>(info.width) + 31) / 32 * 4;
    if (stride * static_cast<std::size_t>(info.height) > mask.size()) {
        FailIcon("transparency mask ends early");
    }
    for (std::int64_t y = 0; y < info.height; ++y) {
        const std::uint8_t* row = mask.data() + y * stride;
        const std::int64_t outRow = info.topDown ? y : info.height - 1 - y;
        std::uint8_t* out = image.pixels.data() + outRow * info.width * 4;
        for (std::int64_t x = 0; x < info.width; ++x) {
            const bool clear = (row[x / 8] >> (7 - x % 8)) & 1;
            out[4 * x + 3] = clear ? 0 : 255;
        }
    }
}

RgbaImage DecodeIconBitmap(std::span<const std::uint8_t> image, std::uint64_t maxPixels) {
    DibInfo info = ReadDibInfo(image);
    if (info.compression == 1 || info.compression == 2) {
        FailIcon("compressed bitmap");
    }
    info.height /= 2;  // the header counts the colour rows and the mask rows
    RgbaImage result = DecodeDibPixels(info, image.subspan(info.tableEnd), maxPixels, true);
    if (info.bits == 32 && AnyAlpha(result)) {
        return result;  // the alpha channel says it all; the mask is for older systems
    }
    ApplyAndMask(info, image.subspan(info.tableEnd + DibPixelBytes(info)), result);
    return result;
}

RgbaImage DecodeIconImage(std::span<const std::uint8_t> file, std::size_t index,
                          std::uint64_t maxPixels) {
    const std::uint8_t* entry = file.data() + kIconHeader + kIconEntry * index;
    const std::span<const std::uint8_t> image =
        file.subspan(GetLE32(entry + 12), GetLE32(entry + 8));
    if (DetectImageKind(image) == ImageKind::Png) {
        return DecodePng(image, maxPixels);
    }
    return DecodeIconBitmap(image, maxPixels);
}

std::span<const std::uint8_t> CheckedIconFile(std::span<const std::uint8_t> bytes) {
    if (DetectImageKind(bytes) != ImageKind::Ico || !ValidateIconFile(bytes.data(), bytes.size())) {
        FailIcon("directory missing or pointing outside the file");
    }
    return bytes;
}

// The directory entry a window would show: the size nearest the system icon size, then the
// most colours.
std::size_t ChooseIconImage(std::span<const std::uint8_t> file) {
    const std::size_t count = GetLE16(file.data() + 4);
    std::size_t best = 0;
    long bestScore = -1;
    for (std::size_t j = 0; j < count; ++j) {
        const std::uint8_t* entry = file.data() + kIconHeader + kIconEntry * j;
        const int width = entry[0] == 0 ? 256 : entry[0];
        const long score = (1000L - std::abs(width - kSystemIconSize)) * 100 + GetLE16(entry + 6);
        if (score > bestScore) {
            best = j;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

std::vector<RgbaImage> LoadIconImages(std::span<const std::uint8_t> bytes,
                                      std::uint64_t maxPixels) {
    const std::span<const std::uint8_t> file = CheckedIconFile(bytes);
    std::vector<RgbaImage> images;
    for (std::size_t j = 0; j < GetLE16(file.data() + 4); ++j) {
        images.push_back(DecodeIconImage(file, j, maxPixels));
    }
    return images;
}

RgbaImage DecodeIco(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    const std::span<const std::uint8_t> file = CheckedIconFile(bytes);
    return DecodeIconImage(file, ChooseIconImage(file), maxPixels);
}

}  // namespace quorlix
