// Windows metafiles, played by libwmf's SVG device and drawn by librsvg. (libwmf's own raster
// device stamps a thick pen pixel by pixel: a hostile pen width kept it busy for minutes.)
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include <libwmf/api.h>
#include <libwmf/svg.h>

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Metafile units become pixels at the resolution Windows screens use.
constexpr double kScreenDpi = 96.0;
constexpr double kPointsPerInch = 72.0;

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

// The player and the metafile it reads, released whichever way the drawing ends.
struct WmfPlayer {
    WmfMemory memory;  // outlives the player, which frees through it
    wmfAPI* api = nullptr;
    bool open = false;
    ~WmfPlayer() {
        if (api == nullptr) {
            return;
        }
        if (open) {
            wmf_mem_close(api);
        }
        wmf_api_destroy(api);
    }
};

void Check(wmf_error_t error, const char* step) {
    if (error != wmf_E_None) {
        throw Error(std::string("Damaged WMF picture: ") + step + " failed (libwmf error " +
                    std::to_string(static_cast<int>(error)) + ")");
    }
}

// The scan gives the box of what is drawn, in points; a placeable file names the box the picture
// covers, blank margins included, as Windows draws it, in its own units of 1/Inch inch.
void UsePlaceableBox(wmfAPI* api, wmfD_Rect& box) {
    const wmfFile file = api->File;
    if (file == nullptr || !file->placeable || file->pmh == nullptr) {
        return;
    }
    const wmfPlaceableMetaHeader& header = *file->pmh;
    if (header.Right > header.Left && header.Bottom > header.Top && header.Inch != 0) {
        const float points = static_cast<float>(kPointsPerInch) / header.Inch;
        box.TL.x = header.Left * points;
        box.TL.y = header.Top * points;
        box.BR.x = header.Right * points;
        box.BR.y = header.Bottom * points;
    }
}

// Plays the metafile into SVG text of the given size.
std::string PlayToSvg(WmfPlayer& player, const wmfD_Rect& box, unsigned width, unsigned height) {
    auto* device = WMF_SVG_GetData(player.api);
    device->out = wmf_stream_create(player.api, nullptr);  // nullptr: into memory
    if (device->out == nullptr) {
        throw Error("Damaged WMF picture: no memory for the drawing");
    }
    device->bbox = box;
    device->width = width;
    device->height = height;
    device->flags |= WMF_SVG_INLINE_IMAGES;
    const wmf_error_t played = wmf_play(player.api, 0, const_cast<wmfD_Rect*>(&box));
    char* text = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(player.api, device->out, &text, &length);
    device->out = nullptr;
    std::string svg = text != nullptr ? std::string(text, length) : std::string();
    wmf_free(player.api, text);
    Check(played, "drawing");
    return svg;
}

}  // namespace

RgbaImage DecodeWmf(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    WmfPlayer player;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    options.context = &player.memory;
    options.malloc = WmfAllocate;
    options.realloc = WmfReallocate;
    options.free = WmfFree;
    const unsigned long flags =
        WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR;
    Check(wmf_api_create(&player.api, flags, &options), "starting the player");
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
    CheckImageSize(width, height, maxPixels);
    const std::string svg = PlayToSvg(player, box, width, height);
    return RasteriseSvg(svg, static_cast<int>(width), static_cast<int>(height), maxPixels);
}

}  // namespace quorlix
