// GIF pictures through giflib: the first frame only, on the logical screen, with the frame's
// transparent colour (from its graphics control block) kept as alpha 0.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include <gif_lib.h>

#include "imaging/decoders.h"
#include "imaging/image_size.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// The bytes giflib reads from, and how far it has read.
struct GifSource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int ReadGifBytes(GifFileType* gif, GifByteType* buffer, int count) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t left = source->bytes.size() - source->position;
    const std::size_t n = std::min(left, static_cast<std::size_t>(std::max(count, 0)));
    if (n > 0) {
        std::memcpy(buffer, source->bytes.data() + source->position, n);
    }
    source->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void FailGif(int error) {
    const char* text = GifErrorString(error);
    throw Error(std::string("Damaged GIF picture: ") + (text ? text : "unknown error"));
}

[[noreturn]] void FailGif(const char* reason) {
    throw Error(std::string("Damaged GIF picture: ") + reason);
}

// Reads the extensions before the first frame; returns its transparent colour index, or -1.
int ReadExtension(GifFileType* gif, int transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
        FailGif(gif->Error);
    }
    while (block != nullptr) {
        if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4) {
            transparent = (block[1] & 0x01) ? block[4] : -1;
            code = 0;  // only the block's first sub-block is the control block
        }
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
            FailGif(gif->Error);
        }
    }
    return transparent;
}

// Row order of an interlaced frame: four passes.
std::vector<int> FrameRowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) {
            rows.push_back(y);
        }
        return rows;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            rows.push_back(y);
        }
    }
    return rows;
}

// One frame row as RGBA: the transparent colour is left transparent black, an index past the
// colour table reads black.
void RowToRgba(const std::vector<GifPixelType>& line, const ColorMapObject& colours,
               int transparent, std::vector<std::uint8_t>& rgba) {
    for (std::size_t x = 0; x < line.size(); ++x) {
        std::uint8_t* p = rgba.data() + x * 4;
        const int index = line[x];
        if (index == transparent) {
            p[0] = p[1] = p[2] = p[3] = 0;
            continue;
        }
        if (index < colours.ColorCount) {
            p[0] = colours.Colors[index].Red;
            p[1] = colours.Colors[index].Green;
            p[2] = colours.Colors[index].Blue;
        } else {
            p[0] = p[1] = p[2] = 0;
        }
        p[3] = 255;
    }
}

// Paints the first frame onto the logical screen (the canvas), clipped to it, row by row.
RgbaImage ReadFirstFrame(GifFileType* gif, int transparent, PictureCanvas& canvas,
                         std::uint64_t maxPixels) {
    if (DGifGetImageDesc(gif) == GIF_ERROR) {
        FailGif(gif->Error);
    }
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (colours == nullptr) {
        FailGif("no colour table");
    }
    CheckImageSize(frame.Width, frame.Height, maxPixels);
    // A screen of no size takes the frame's own.
    const bool noScreen = gif->SWidth <= 0 || gif->SHeight <= 0;
    canvas.SetPictureSize(noScreen ? frame.Width : gif->SWidth,
                          noScreen ? frame.Height : gif->SHeight);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    std::vector<std::uint8_t> rgba(line.size() * 4);
    for (const int row : FrameRowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
            FailGif(gif->Error);
        }
        RowToRgba(line, *colours, transparent, rgba);
        // Left and Top come from unsigned 16-bit fields; what lies past the screen is clipped.
        canvas.Put(frame.Left, frame.Top + row, rgba.data(), frame.Width);
    }
    return canvas.Take();
}

}  // namespace

RgbaImage DecodeGif(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                    std::optional<PixelSize> box) {
    GifSource source{bytes};
    int error = 0;
    GifHandle gif(DGifOpen(&source, ReadGifBytes, &error));
    if (!gif) {
        FailGif(error);
    }
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) {
            FailGif(gif->Error);
        }
        switch (record) {
            case IMAGE_DESC_RECORD_TYPE: {
                PictureCanvas canvas(box, maxPixels);
                return ReadFirstFrame(gif.get(), transparent, canvas, maxPixels);
            }
            case EXTENSION_RECORD_TYPE:
                transparent = ReadExtension(gif.get(), transparent);
                break;
            case TERMINATE_RECORD_TYPE:
                FailGif("no image in the file");
            default:
                FailGif("unknown record");
        }
    }
}

}  // namespace quorlix
