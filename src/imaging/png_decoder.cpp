// PNG pictures through libpng's simplified reader, which keeps its longjmp error handling inside
// the library and frees its own state on every error.
#include <string>

#include <png.h>

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Releases the reader's state whichever way the decoding ends.
struct PngReader {
    png_image image{};
    PngReader() { image.version = PNG_IMAGE_VERSION; }
    ~PngReader() { png_image_free(&image); }
};

[[noreturn]] void FailPng(const png_image& image) {
    throw Error(std::string("Damaged PNG picture: ") + image.message);
}

}  // namespace

RgbaImage DecodePng(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    PngReader reader;
    if (!png_image_begin_read_from_memory(&reader.image, bytes.data(), bytes.size())) {
        FailPng(reader.image);
    }
    CheckImageSize(reader.image.width, reader.image.height, maxPixels);
    // 8-bit straight RGBA in sRGB, whatever the file holds; a missing alpha channel reads opaque.
    reader.image.format = PNG_FORMAT_RGBA;
    RgbaImage result = NewRgbaImage(reader.image.width, reader.image.height, maxPixels);
    if (!png_image_finish_read(&reader.image, nullptr, result.pixels.data(), 0, nullptr)) {
        FailPng(reader.image);
    }
    return result;
}

}  // namespace quorlix
