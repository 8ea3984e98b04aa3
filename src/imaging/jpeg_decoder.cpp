// JPEG pictures through libjpeg(-turbo). Its errors arrive through longjmp, so everything between
// setjmp and the library calls is plain data owned by the caller, and the decompressor is
// destroyed by the caller's guard whichever way the decoding ends.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>

#include <jerror.h>  // after jpeglib.h, which it needs

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// A progressive picture with more scans than this is refused: hostile files use thousands.
constexpr int kMaxScans = 1000;

struct JpegErrors {
    jpeg_error_mgr manager;  // first, so the library's pointer is also ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// A picture whose data ends early is refused rather than shown with a grey bottom; other
// corrupt-data warnings (stray bytes between markers, common in cameras' files) are let pass.
void OnJpegMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        OnJpegError(info);
    }
}

void OnJpegProgress(j_common_ptr info) {
    auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->is_decompressor && decoder->input_scan_number > kMaxScans) {
        std::strcpy(reinterpret_cast<JpegErrors*>(info->err)->message, "too many scans");
        std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
    }
}

// The decompressor and its error handler, destroyed whichever way the decoding ends.
struct JpegDecoder {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }
};

// Straight RGBA from CMYK; Adobe's files store the inks inverted.
void CmykRowToRgba(const JSAMPLE* cmyk, std::uint8_t* rgba, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgba += 4) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int ink = inverted ? cmyk[c] : 255 - cmyk[c];
            rgba[c] = static_cast<std::uint8_t>(ink * k / 255);
        }
        rgba[3] = 255;
    }
}

// Reads the header, checks the size and sets up the output colours.
void StartJpeg(JpegDecoder& d, std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    jpeg_create_decompress(&d.info);
    d.progress.progress_monitor = OnJpegProgress;
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_calc_output_dimensions(&d.info);
    CheckImageSize(d.info.output_width, d.info.output_height, maxPixels);
}

// The library part of the decoding; returns false with the library's message on an error. Only
// plain data lives in this frame, so the longjmp back into it skips no destructor.
bool RunJpeg(JpegDecoder& d, std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
             RgbaImage& image, std::vector<JSAMPLE>& row) {
    if (setjmp(d.errors.jump) != 0) {
        return false;
    }
    StartJpeg(d, bytes, maxPixels);
    image = NewRgbaImage(d.info.output_width, d.info.output_height, maxPixels);
    jpeg_start_decompress(&d.info);
    const bool cmyk = d.info.out_color_space == JCS_CMYK;
    const bool inverted = d.info.saw_Adobe_marker != 0;
    row.resize(static_cast<std::size_t>(d.info.output_width) * 4);
    while (d.info.output_scanline < d.info.output_height) {
        std::uint8_t* out =
            image.pixels.data() + std::size_t{d.info.output_scanline} * d.info.output_width * 4;
        JSAMPROW target = cmyk ? row.data() : out;
        if (jpeg_read_scanlines(&d.info, &target, 1) != 1) {
            std::strcpy(d.errors.message, "picture data ends early");
            return false;
        }
        if (cmyk) {
            CmykRowToRgba(row.data(), out, d.info.output_width, inverted);
        }
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

RgbaImage DecodeJpeg(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    JpegDecoder decoder;
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = OnJpegError;
    decoder.errors.manager.emit_message = OnJpegMessage;
    RgbaImage image;
    std::vector<JSAMPLE> row;
    if (!RunJpeg(decoder, bytes, maxPixels, image, row)) {
        throw Error(std::string("Damaged JPEG picture: ") + decoder.errors.message);
    }
    return image;
}

}  // namespace quorlix
