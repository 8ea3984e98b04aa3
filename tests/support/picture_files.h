#pragma once

#include <cstdint>
#include <string>

namespace quorlix::test {

// A 24-bit BMP of that size: a diagonal colour gradient with a dark frame.
std::string MakeBmp(int width, int height);

// An RGBA PNG of that size: an opaque disc in `rgb` on a fully transparent square.
std::string MakePng(int width, int height, std::uint32_t rgb);

// A 24-bit bottom-up BMP (as screen snapshots are written) re-encoded as an RGB PNG; empty
// when the bytes are not such a BMP.
std::string BmpToPng(const std::string& bmp);

}  // namespace quorlix::test
