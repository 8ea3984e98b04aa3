// PNG pictures through libpng. The whole picture comes through the simplified reader, which
// keeps its longjmp error handling inside the library and frees its own state on every error.
// A picture shown smaller comes row by row through the classic reader, each row added into the
// smaller picture as it is read; its errors arrive through longjmp, so only plain data lives in
// the frame that calls setjmp, and the reader is destroyed by the caller's guard.
#include <csetjmp>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <png.h>

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Releases the simplified reader's state whichever way the decoding ends.
struct PngReader {
    png_image image{};
    PngReader() { image.version = PNG_IMAGE_VERSION; }
    ~PngReader() { png_image_free(&image); }
};

[[noreturn]] void FailPng(const char* message) {
    throw Error(std::string("Damaged PNG picture: ") + message);
}

// The classic reader, its bytes and its last error message.
struct PngRowReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
    char message[200] = "unknown error";
    ~PngRowReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* reader = static_cast<PngRowReader*>(png_get_error_ptr(png));
    std::strncpy(reader->message, message, sizeof reader->message - 1);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadPngBytes(png_structp png, png_bytep out, std::size_t count) {
    auto* reader = static_cast<PngRowReader*>(png_get_io_ptr(png));
    if (reader->bytes.size() - reader->position < count) {
        png_error(png, "picture data ends early");
    }
    std::memcpy(out, reader->bytes.data() + reader->position, count);
    reader->position += count;
}

// 8-bit straight RGBA in sRGB, as the simplified reader gives it.
void AskForRgba(png_structp png, png_infop info) {
    const png_byte colour = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    if ((colour & PNG_COLOR_MASK_ALPHA) == 0 && png_get_valid(png, info, PNG_INFO_tRNS) == 0) {
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_alpha_mode(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    png_read_update_info(png, info);
}

// Reads every row into the canvas: in order, or pass by pass for an interlaced picture, each
// pass's pixels put where they belong. Returns false with the library's message on an error.
bool RunPngRows(PngRowReader& r, PictureCanvas& canvas, std::vector<png_byte>& row) {
    if (setjmp(png_jmpbuf(r.png)) != 0) {
        return false;
    }
    png_read_info(r.png, r.info);
    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    canvas.SetPictureSize(width, height);
    const bool interlaced = png_get_interlace_type(r.png, r.info) == PNG_INTERLACE_ADAM7;
    AskForRgba(r.png, r.info);
    row.resize(std::size_t{width} * 4);
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        const png_uint_32 columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
        if (rows == 0 || columns == 0) {
            continue;  // the library skips an empty pass
        }
        for (png_uint_32 y = 0; y < rows; ++y) {
            png_read_row(r.png, row.data(), nullptr);
            if (!interlaced) {
                canvas.Put(0, static_cast<int>(y), row.data(), static_cast<int>(width));
                continue;
            }
            const int fullY = static_cast<int>(PNG_ROW_FROM_PASS_ROW(y, pass));
            for (png_uint_32 x = 0; x < columns; ++x) {
                canvas.Put(static_cast<int>(PNG_COL_FROM_PASS_COL(x, pass)), fullY,
                           row.data() + std::size_t{x} * 4, 1);
            }
        }
    }
    png_read_end(r.png, nullptr);
    return true;
}

RgbaImage DecodeReduced(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                        PixelSize box) {
    PngRowReader reader;
    reader.bytes = bytes;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reader, OnPngError, OnPngWarning);
    reader.info = reader.png != nullptr ? png_create_info_struct(reader.png) : nullptr;
    if (reader.info == nullptr) {
        throw std::bad_alloc();
    }
    png_set_read_fn(reader.png, &reader, ReadPngBytes);
    PictureCanvas canvas(box, maxPixels);
    std::vector<png_byte> row;
    if (!RunPngRows(reader, canvas, row)) {
        FailPng(reader.message);
    }
    return canvas.Take();
}

}  // namespace

RgbaImage DecodePng(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                    std::optional<PixelSize> box) {
    PngReader reader;
    if (!png_image_begin_read_from_memory(&reader.image, bytes.data(), bytes.size())) {
        FailPng(reader.image.message);
    }
    CheckImageSize(reader.image.width, reader.image.height, maxPixels);
    const PixelSize size{static_cast<int>(reader.image.width),
                         static_cast<int>(reader.image.height)};
    if (box && FittedSize(size, *box) != size) {
        return DecodeReduced(bytes, maxPixels, *box);
    }
    // 8-bit straight RGBA in sRGB, whatever the file holds; a missing alpha channel reads opaque.
    reader.image.format = PNG_FORMAT_RGBA;
    RgbaImage result = NewRgbaImage(size.width, size.height, maxPixels);
    if (!png_image_finish_read(&reader.image, nullptr, result.pixels.data(), 0, nullptr)) {
        FailPng(reader.image.message);
    }
    return result;
}

}  // namespace quorlix
