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

RgbaImage LoadJpegFile(const std::string& path) {
    return DecodeFile(path, [](std::span<const std::uint8_t> bytes) {
        if (DetectImageKind(bytes) != ImageKind::Jpeg) {
            throw Error("Not a JPEG picture");
        }
        return DecodeJpeg(bytes, kMaxImagePixels);
    });
}

}  // namespace quorlix
