#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorlix::test {

// A 24-bit BMP of that size: a diagonal colour gradient with a dark frame.
std::string MakeBmp(int width, int height);

// An RGBA PNG of that size: an opaque disc in `rgb` on a fully transparent square.
std::string MakePng(int width, int height, std::uint32_t rgb);

// A GIF89a of that size: a disc in `rgb` on a background of red (0xFF0000) marked transparent.
std::string MakeGif(int width, int height, std::uint32_t rgb);

// The colour (0xRRGGBB) of pixel x, y (from the top) of a 24-bit bottom-up BMP; nothing
// outside it.
std::optional<std::uint32_t> BmpPixel(const std::string& bmp, int x, int y);

// A 24-bit bottom-up BMP (as screen snapshots are written) re-encoded as an RGB PNG; empty
// when the bytes are not such a BMP.
std::string BmpToPng(const std::string& bmp);

}  // namespace quorlix::test
