// Windows metafiles, played by libwmf into its own true-colour drawing surface (its gd device).
#include <cstring>
#include <string>

#include <libwmf/api.h>
#include <libwmf/gd.h>

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Metafile units become pixels at the resolution Windows screens use.
constexpr double kScreenDpi = 96.0;

// The player and the metafile it reads, released whichever way the drawing ends.
struct WmfPlayer {
    wmfAPI* api = nullptr;
    bool open = false;
    ~WmfPlayer() {
        if (open) {
            wmf_mem_close(api);
        }
        if (api != nullptr) {
            wmf_api_destroy(api);
        }
    }
};

void Check(wmf_error_t error, const char* step) {
    if (error != wmf_E_None) {
        throw Error(std::string("Damaged WMF picture: ") + step + " failed (libwmf error " +
                    std::to_string(static_cast<int>(error)) + ")");
    }
}

// gd keeps 7-bit alpha where 0 is opaque and 127 transparent.
void CopyGdPixels(const int* gd, RgbaImage& image) {
    const std::size_t count = image.pixels.size() / 4;
    for (std::size_t i = 0; i < count; ++i) {
        const auto pixel = static_cast<std::uint32_t>(gd[i]);
        std::uint8_t* p = image.pixels.data() + 4 * i;
        p[0] = static_cast<std::uint8_t>(pixel >> 16);
        p[1] = static_cast<std::uint8_t>(pixel >> 8);
        p[2] = static_cast<std::uint8_t>(pixel);
        p[3] = static_cast<std::uint8_t>(255 - ((pixel >> 24) & 0x7F) * 255 / 127);
    }
}

}  // namespace

RgbaImage DecodeWmf(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    WmfPlayer player;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR;
    Check(wmf_api_create(&player.api, flags, &options), "starting the player");
    auto* device = WMF_GD_GetData(player.api);
    device->type = wmf_gd_image;
    // libwmf reads the bytes without changing them, through a non-const pointer.
    Check(wmf_mem_open(player.api, const_cast<unsigned char*>(bytes.data()),
                       static_cast<long>(bytes.size())),
          "opening");
    player.open = true;
    wmfD_Rect box{};
    Check(wmf_scan(player.api, 0, &box), "reading");
    unsigned int width = 0;
    unsigned int height = 0;
    Check(wmf_display_size(player.api, &width, &height, kScreenDpi, kScreenDpi), "sizing");
    RgbaImage image = NewRgbaImage(width, height, maxPixels);
    device->bbox = box;
    device->width = width;
    device->height = height;
    Check(wmf_play(player.api, 0, &box), "drawing");
    const int* pixels = device->gd_image ? wmf_gd_image_pixels(device->gd_image) : nullptr;
    if (pixels == nullptr) {
        throw Error("Damaged WMF picture: nothing was drawn");
    }
    CopyGdPixels(pixels, image);
    return image;
}

}  // namespace quorlix
