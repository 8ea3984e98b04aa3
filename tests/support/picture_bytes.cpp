#include "support/picture_bytes.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <cstdlib>
#include <cstring>

#include "imaging/image_loading.h"
#include "platform/error.h"

namespace quorlix::test {

ByteWriter& ByteWriter::U8(unsigned v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    return *this;
}

ByteWriter& ByteWriter::U16(unsigned v) {
    return U8(v & 0xFF).U8((v >> 8) & 0xFF);
}

ByteWriter& ByteWriter::U32(std::uint32_t v) {
    return U16(v & 0xFFFF).U16(v >> 16);
}

ByteWriter& ByteWriter::Append(std::span<const std::uint8_t> more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
}

void ByteWriter::SetU32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes_.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

Bytes EncodeJpeg(const RgbaImage& image, bool grey) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_RGBA;
    jpeg_set_defaults(&info);
    if (grey) {
        jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    }
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(image.pixels.data() +
                                         std::size_t{info.next_scanline} * image.width * 4);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

Bytes EncodePng(const RgbaImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(
        png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr));
    Bytes bytes(size);
    EXPECT_TRUE(
        png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr));
    bytes.resize(size);
    return bytes;
}

namespace {

void AppendPngBytes(png_structp png, png_bytep data, std::size_t count) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

}  // namespace

Bytes EncodeInterlacedPng(const RgbaImage& image) {
    Bytes bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (int y = 0; y < image.height; ++y) {
        rows.push_back(const_cast<png_bytep>(image.pixels.data()) +
                       static_cast<std::size_t>(y) * image.width * 4);
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        ADD_FAILURE() << "the interlaced PNG could not be written";
    } else {
        png_set_write_fn(png, &bytes, AppendPngBytes, nullptr);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                     static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return bytes;
}

namespace {

int WriteGifBytes(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

std::vector<int> GifRowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    const int start[] = {0, 4, 2, 1};
    const int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass) {
        for (int y = interlaced ? start[pass] : 0; y < height; y += interlaced ? step[pass] : 1) {
            rows.push_back(y);
        }
    }
    return rows;
}

}  // namespace

Bytes EncodeGif(const GifFrame& frame) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteGifBytes, &error);
    std::vector<GifColorType> colours;
    for (const auto& c : frame.colours) {
        colours.push_back({c[0], c[1], c[2]});
    }
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, frame.screenWidth, frame.screenHeight, 8, 0, map);
    if (frame.transparent >= 0) {
        GraphicsControlBlock control{0, false, 0, frame.transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    }
    EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced,
                     nullptr);
    for (const int y : GifRowOrder(frame.height, frame.interlaced)) {
        auto* row = const_cast<GifPixelType*>(frame.indexes.data() + std::size_t(y) * frame.width);
        EGifPutLine(gif, row, frame.width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

void ExpectDamaged(const Bytes& bytes, const std::string& words) {
    try {
        LoadImage(bytes);
        ADD_FAILURE() << "loaded a damaged picture";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(words), std::string::npos) << error.what();
    }
}

void ExpectEveryFlipHandled(const Bytes& bytes, std::uint64_t maxPixels) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        Bytes copy = bytes;
        copy[i] ^= 0xFF;
        try {
            const RgbaImage image = LoadImage(copy, maxPixels);
            EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 4) << i;
        } catch (const Error&) {
        }
    }
}

std::array<std::uint8_t, 4> PixelAt(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.pixels.data() + (std::size_t(y) * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace quorlix::test
