#include "imaging/image_loading.h"

#include "imaging/decoders.h"
#include "imaging/picture_file.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Prefixes a decoding error with the file it came from.
template <typename Decode>
RgbaImage DecodeFile(const std::string& path, Decode decode) {
    const std::vector<std::uint8_t> bytes = ReadPictureFile(path);
    try {
        return decode(std::span<const std::uint8_t>(bytes));
    } catch (const Error& error) {
        throw Error(path + ": " + error.what());
    }
}

}  // namespace

RgbaImage LoadImage(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    switch (DetectImageKind(bytes)) {
        case ImageKind::Jpeg:
            return DecodeJpeg(bytes, maxPixels);
        case ImageKind::Png:
            return DecodePng(bytes, maxPixels);
        case ImageKind::Gif:
            return DecodeGif(bytes, maxPixels);
        case ImageKind::Bmp:
            return DecodeBmp(bytes, maxPixels);
        case ImageKind::Ico:
            return DecodeIco(bytes, maxPixels);
        case ImageKind::Wmf:
            return DecodeWmf(bytes, maxPixels);
        case ImageKind::Emf:
            return DecodeEmf(bytes, maxPixels);
        case ImageKind::Unknown:
            break;
    }
    throw Error("Not a picture of a kind the program reads (JPEG, PNG, GIF, BMP, ICO, WMF, EMF)");
}

RgbaImage LoadImageFile(const std::string& path) {
    return DecodeFile(path, [](std::span<const std::uint8_t> bytes) { return LoadImage(bytes); });
}

RgbaImage LoadImageFitting(std::span<const std::uint8_t> bytes, PixelSize box,
                           std::uint64_t maxPixels) {
    switch (DetectImageKind(bytes)) {
        case ImageKind::Jpeg:
            return DecodeJpeg(bytes, maxPixels, box);
        case ImageKind::Png:
            return DecodePng(bytes, maxPixels, box);
        case ImageKind::Gif:
            return DecodeGif(bytes, maxPixels, box);
        default:
            break;
    }
    const RgbaImage whole = LoadImage(bytes, maxPixels);
    PictureCanvas canvas(box, maxPixels);
    canvas.SetPictureSize(whole.width, whole.height);
    const std::size_t rowBytes = static_cast<std::size_t>(whole.width) * 4;
    for (int y = 0; y < whole.height; ++y) {
        canvas.Put(0, y, whole.pixels.data() + rowBytes * static_cast<std::size_t>(y), whole.width);
    }
    return canvas.Take();
}

RgbaImage LoadImageFileFitting(const std::string& path, PixelSize box) {
    return DecodeFile(
        path, [box](std::span<const std::uint8_t> bytes) { return LoadImageFitting(bytes, box); });
}

PixelSize JpegFileSize(const std::string& path) {
    PixelSize size;
    DecodeFile(path, [&size](std::span<const std::uint8_t> bytes) {
        if (DetectImageKind(bytes) != ImageKind::Jpeg) {
            throw Error("Not a JPEG picture");
        }
        // Shown in a box of one pixel: decoded at the library's smallest scale.
        PictureCanvas canvas(PixelSize{1, 1}, kMaxImagePixels);
        DecodeJpegInto(bytes, canvas);
        size = canvas.pictureSize();
        return RgbaImage{};
    });
    return size;
}

}  // namespace quorlix
