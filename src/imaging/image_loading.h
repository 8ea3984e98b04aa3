#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/rgba_image.h"

namespace quorlix {

// The kind of picture the bytes hold, from their signature (never from a file name).
ImageKind DetectImageKind(std::span<const std::uint8_t> bytes);

// Decodes a picture of any kind the program reads. A damaged, truncated or unknown picture, or
// one larger than maxPixels, throws quorlix::Error with the reason.
RgbaImage LoadImage(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels = kMaxImagePixels);

// Reads and decodes a picture file; errors name the path. A file that cannot be opened or read
// throws std::system_error, anything else quorlix::Error.
RgbaImage LoadImageFile(const std::string& path);

// As LoadImageFile, for a JPEG picture only: any other kind throws quorlix::Error.
RgbaImage LoadJpegFile(const std::string& path);

// Every image of an icon file, in directory order.
std::vector<RgbaImage> LoadIconImages(std::span<const std::uint8_t> bytes,
                                      std::uint64_t maxPixels = kMaxImagePixels);

}  // namespace quorlix
