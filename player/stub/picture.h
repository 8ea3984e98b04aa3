#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/presentation_options.h"

namespace quorlix {

// A picture decoded by Windows' own decoders into a top-down 32-bit DIB section with
// premultiplied alpha (BGRA), ready for GDI and layered windows.
class Picture {
public:
    // WIC for JPEG, PNG, GIF, BMP, ICO and the rest it knows; GDI for WMF and EMF (tried also
    // when WIC does not know the file). Nothing when the file does not decode or is too large.
    // COM must be initialised on the calling thread.
    static std::unique_ptr<Picture> Load(const std::wstring& path, PictureKind kind);

    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t* pixels() const { return pixels_; }

    // Every pixel that is not fully opaque becomes the colour key, opaque: for colour-key
    // transparency of a GIF.
    void FillTransparentWith(COLORREF key);
    // Every pixel becomes opaque (premultiplied colours are kept as they are).
    void MakeOpaque();

    // An empty picture of that size; nothing when it cannot be made.
    static std::unique_ptr<Picture> Create(int width, int height);

private:
    Picture(HBITMAP bitmap, std::uint32_t* pixels, int width, int height)
        : bitmap_(bitmap), pixels_(pixels), width_(width), height_(height) {}

    HBITMAP bitmap_;
    std::uint32_t* pixels_;
    int width_;
    int height_;
};

}  // namespace quorlix
