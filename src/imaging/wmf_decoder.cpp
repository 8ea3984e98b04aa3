// Windows metafiles, played by libwmf into its own true-colour drawing surface (its gd device).
#include <cstddef>
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

// The memory libwmf takes through its allocator, counted, so that a hostile metafile cannot make
// it take more than kMaxWmfMemory: past that an allocation fails and so does the playing.
constexpr std::size_t kMaxWmfMemory = 256u * 1024 * 1024;
constexpr std::size_t kBlockHeader = alignof(std::max_align_t);  // holds the block's size

struct WmfMemory {
    std::size_t used = 0;
};

std::size_t& BlockSize(void* block) {
    return *static_cast<std::size_t*>(block);
}

void* WmfAllocate(void* context, std::size_t size) {
    auto* memory = static_cast<WmfMemory*>(context);
    if (size > kMaxWmfMemory - memory->used) {
        return nullptr;
    }
    void* block = std::malloc(kBlockHeader + size);
    if (block == nullptr) {
        return nullptr;
    }
    BlockSize(block) = size;
    memory->used += size;
    return static_cast<char*>(block) + kBlockHeader;
}

void WmfFree(void* context, void* data) {
    if (data == nullptr) {
        return;
    }
    void* block = static_cast<char*>(data) - kBlockHeader;
    static_cast<WmfMemory*>(context)->used -= BlockSize(block);
    std::free(block);
}

void* WmfReallocate(void* context, void* data, std::size_t size) {
    if (data == nullptr) {
        return WmfAllocate(context, size);
    }
    auto* memory = static_cast<WmfMemory*>(context);
    void* block = static_cast<char*>(data) - kBlockHeader;
    const std::size_t old = BlockSize(block);
    if (size > old && size - old > kMaxWmfMemory - memory->used) {
        return nullptr;
    }
    void* moved = std::realloc(block, kBlockHeader + size);
    if (moved == nullptr) {
        return nullptr;
    }
    memory->used = memory->used - old + size;
    BlockSize(moved) = size;
    return static_cast<char*>(moved) + kBlockHeader;
}

// The player, the metafile it reads and the surface it draws on, released whichever way the
// drawing ends.
struct WmfPlayer {
    WmfMemory memory;  // outlives the player, which frees through it
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
    options.context = &player.memory;
    options.malloc = WmfAllocate;
    options.realloc = WmfReallocate;
    options.free = WmfFree;
    const unsigned long flags =
        WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR;
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
