// Windows metafiles, played by libwmf into its own true-colour drawing surface (its gd device).
#include <cstdlib>
#include <cstring>
#include <string>

#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/gd/gd.h>

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Metafile units become pixels at the resolution Windows screens use.
constexpr double kScreenDpi = 96.0;

// Frees the drawing surface the gd device made. libwmf leaves it to the caller and does not export
// gd's own destructor; these are the blocks that destructor frees, all from malloc.
void FreeGdImage(gdImagePtr image) {
    if (image == nullptr) {
        return;
    }
    if (image->pixels != nullptr) {
        for (int y = 0; y < image->sy; ++y) {
            std::free(image->pixels[y]);
        }
        std::free(image->pixels);
    }
    if (image->_tpixels != nullptr) {
        std::free(image->_tpixels);  // the rows of tpixels point into this one block
    } else if (image->tpixels != nullptr) {
        for (int y = 0; y < image->sy; ++y) {
            std::free(image->tpixels[y]);
        }
    }
    std::free(image->tpixels);
    std::free(image->polyInts);
    std::free(image->style);
    if (image->clip != nullptr) {
        std::free(image->clip->list);
        std::free(image->clip);
    }
    std::free(image);
}

// The player, the metafile it reads and the surface it draws on, released whichever way the
// drawing ends.
struct WmfPlayer {
    wmfAPI* api = nullptr;
    bool open = false;
    ~WmfPlayer() {
        if (api == nullptr) {
            return;
        }
        const auto* device = static_cast<wmf_gd_t*>(api->device_data);
        void* surface = device != nullptr ? device->gd_image : nullptr;
        if (open) {
            wmf_mem_close(api);
        }
        wmf_api_destroy(api);
        FreeGdImage(static_cast<gdImagePtr>(surface));
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

// The scan gives the box of what is drawn; a placeable file names the box the picture covers,
// blank margins included, as Windows draws it.
void UsePlaceableBox(wmfAPI* api, wmfD_Rect& box) {
    const wmfFile file = api->File;
    if (file == nullptr || !file->placeable || file->pmh == nullptr) {
        return;
    }
    const wmfPlaceableMetaHeader& header = *file->pmh;
    if (header.Right > header.Left && header.Bottom > header.Top) {
        box.TL.x = header.Left;
        box.TL.y = header.Top;
        box.BR.x = header.Right;
        box.BR.y = header.Bottom;
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
    UsePlaceableBox(player.api, box);
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
