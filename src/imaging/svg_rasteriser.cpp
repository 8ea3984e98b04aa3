// Drawing an SVG document into straight RGBA through librsvg and a cairo image surface.
#include <cmath>
#include <memory>
#include <string>

#include <cairo.h>
#include <librsvg/rsvg.h>

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kMaxCairoSide = 32767;  // the largest image surface cairo makes

struct GObjectDeleter {
    void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct ErrorDeleter {
    void operator()(GError* e) const { g_error_free(e); }
};

[[noreturn]] void FailSvg(const std::string& reason) {
    throw Error("Damaged picture drawing: " + reason);
}

[[noreturn]] void FailSvg(GError* error) {
    const std::unique_ptr<GError, ErrorDeleter> owned(error);
    FailSvg(error ? error->message : "unknown error");
}

// cairo's pixels are premultiplied 0xAARRGGBB words in the machine's byte order.
void CopySurface(cairo_surface_t* surface, RgbaImage& image) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(y) * image.width * 4;
        for (int x = 0; x < image.width; ++x, out += 4) {
            const std::uint32_t argb = row[x];
            const std::uint32_t a = argb >> 24;
            out[3] = static_cast<std::uint8_t>(a);
            for (int c = 0; c < 3 && a != 0; ++c) {
                const std::uint32_t v = (argb >> (16 - 8 * c)) & 0xFF;
                out[c] = static_cast<std::uint8_t>((v * 255 + a / 2) / a);
            }
        }
    }
}

// The document's own size in whole pixels.
std::pair<int, int> SvgSize(RsvgHandle* handle, std::uint64_t maxPixels) {
    double width = 0;
    double height = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height)) {
        FailSvg("no size given");
    }
    if (!(width >= 0.5 && height >= 0.5 && width <= kMaxCairoSide && height <= kMaxCairoSide)) {
        FailSvg("size out of range");
    }
    const auto w = static_cast<std::int64_t>(std::lround(width));
    const auto h = static_cast<std::int64_t>(std::lround(height));
    CheckImageSize(w, h, maxPixels);
    return {static_cast<int>(w), static_cast<int>(h)};
}

// The document parsed, at the resolution of Windows screens.
std::unique_ptr<RsvgHandle, GObjectDeleter> ParseSvg(std::string_view svg) {
    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, GObjectDeleter> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error));
    if (!handle) {
        FailSvg(error);
    }
    rsvg_handle_set_dpi(handle.get(), kScreenDpi);
    return handle;
}

RgbaImage Render(RsvgHandle* handle, int width, int height, std::uint64_t maxPixels) {
    if (width > kMaxCairoSide || height > kMaxCairoSide) {
        FailSvg("size out of range");
    }
    RgbaImage image = NewRgbaImage(width, height, maxPixels);
    const std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const std::unique_ptr<cairo_t, CairoDeleter> cairo(cairo_create(surface.get()));
    if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) {
        FailSvg("no memory for the drawing surface");
    }
    GError* error = nullptr;
    const RsvgRectangle viewport{0, 0, double(width), double(height)};
    if (!rsvg_handle_render_document(handle, cairo.get(), &viewport, &error)) {
        FailSvg(error);
    }
    CopySurface(surface.get(), image);
    return image;
}

}  // namespace

RgbaImage RasteriseSvg(std::string_view svg, std::uint64_t maxPixels) {
    const auto handle = ParseSvg(svg);
    const auto [width, height] = SvgSize(handle.get(), maxPixels);
    return Render(handle.get(), width, height, maxPixels);
}

RgbaImage RasteriseSvg(std::string_view svg, int width, int height, std::uint64_t maxPixels) {
    CheckImageSize(width, height, maxPixels);
    const auto handle = ParseSvg(svg);
    return Render(handle.get(), width, height, maxPixels);
}

}  // namespace quorlix
