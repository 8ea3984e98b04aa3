#pragma once

#include <cstdint>
#include <vector>

namespace quorlix {

// A decoded picture: top-down rows, four bytes per pixel (R, G, B, A), alpha not premultiplied.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The kinds of picture file the program reads, told apart by their bytes.
enum class ImageKind { Unknown, Jpeg, Png, Gif, Bmp, Ico, Wmf, Emf };

// The most pixels a picture may have: 64 megapixels (64 x 2^20).
inline constexpr std::uint64_t kMaxImagePixels = 64ull * 1024 * 1024;

}  // namespace quorlix
