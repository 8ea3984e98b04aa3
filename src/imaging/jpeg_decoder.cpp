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
#include "imaging/picture_canvas.h"
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

// The smallest of libjpeg's scales (eighths) that decodes the picture at no less than the size
// it is shown at.
unsigned ScaleInEighths(const jpeg_decompress_struct& info, PixelSize target) {
    for (unsigned eighths = 1; eighths < 8; ++eighths) {
        const std::uint64_t width = (std::uint64_t{info.image_width} * eighths + 7) / 8;
        const std::uint64_t height = (std::uint64_t{info.image_height} * eighths + 7) / 8;
        if (width >= static_cast<std::uint64_t>(target.width) &&
            height >= static_cast<std::uint64_t>(target.height)) {
            return eighths;
        }
    }
    return 8;
}

// Reads the header, checks the size, sets up the output colours and, when the picture is shown
// smaller, decodes it at the smallest scale that still covers the size it is shown at.
void StartJpeg(JpegDecoder& d, std::span<const std::uint8_t> bytes, PictureCanvas& canvas) {
    jpeg_create_decompress(&d.info);
    d.progress.progress_monitor = OnJpegProgress;
    d.info.progress = &d.progress;
    jpeg_mem_src(&d.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    canvas.SetPictureSize(d.info.image_width, d.info.image_height);
    if (canvas.Reduces()) {
        d.info.scale_num = ScaleInEighths(d.info, canvas.target());
        d.info.scale_denom = 8;
    }
    jpeg_calc_output_dimensions(&d.info);
    canvas.SetDecodedSize(static_cast<int>(d.info.output_width),
                          static_cast<int>(d.info.output_height));
}

// The library part of the decoding; returns false with the library's message on an error. Only
// plain data lives in this frame, so the longjmp back into it skips no destructor.
bool RunJpeg(JpegDecoder& d, std::span<const std::uint8_t> bytes, PictureCanvas& canvas,
             std::vector<JSAMPLE>& row, std::vector<std::uint8_t>& rgba) {
    if (setjmp(d.errors.jump) != 0) {
        return false;
    }
    StartJpeg(d, bytes, canvas);
    jpeg_start_decompress(&d.info);
    const bool cmyk = d.info.out_color_space == JCS_CMYK;
    const bool inverted = d.info.saw_Adobe_marker != 0;
    row.resize(static_cast<std::size_t>(d.info.output_width) * 4);
    rgba.resize(row.size());
    while (d.info.output_scanline < d.info.output_height) {
        const int y = static_cast<int>(d.info.output_scanline);
        JSAMPROW target = row.data();
        if (jpeg_read_scanlines(&d.info, &target, 1) != 1) {
            std::strcpy(d.errors.message, "picture data ends early");
            return false;
        }
        if (cmyk) {
            CmykRowToRgba(row.data(), rgba.data(), d.info.output_width, inverted);
        }
        canvas.Put(0, y, cmyk ? rgba.data() : row.data(), static_cast<int>(d.info.output_width));
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

void DecodeJpegInto(std::span<const std::uint8_t> bytes, PictureCanvas& canvas) {
    JpegDecoder decoder;
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = OnJpegError;
    decoder.errors.manager.emit_message = OnJpegMessage;
    std::vector<JSAMPLE> row;
    std::vector<std::uint8_t> rgba;
    if (!RunJpeg(decoder, bytes, canvas, row, rgba)) {
        throw Error(std::string("Damaged JPEG picture: ") + decoder.errors.message);
    }
}

RgbaImage DecodeJpeg(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                     std::optional<PixelSize> box) {
    PictureCanvas canvas(box, maxPixels);
    DecodeJpegInto(bytes, canvas);
    return canvas.Take();
}

}  // namespace quorlix
