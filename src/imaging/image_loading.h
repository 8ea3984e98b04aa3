#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/picture_canvas.h"
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

// Decodes a picture for showing in a box of the given size: one larger than the box comes out
// at the size it is shown at (FittedSize, each pixel the average of those it covers), a smaller
// one whole. JPEG, PNG and GIF pictures are reduced while they are decoded (JPEG through the
// library's scaled decoding, PNG and GIF row by row), so that they are never held whole; the
// other kinds are decoded whole, then reduced. Errors as LoadImage and LoadImageFile.
RgbaImage LoadImageFitting(std::span<const std::uint8_t> bytes, PixelSize box,
                           std::uint64_t maxPixels = kMaxImagePixels);
RgbaImage LoadImageFileFitting(const std::string& path, PixelSize box);

// The size of a JPEG picture file, after checking that the picture decodes to its end (at an
// eighth of its size, so that it is never held whole). Any other kind, or a damaged picture,
// throws quorlix::Error; a file that cannot be read std::system_error.
PixelSize JpegFileSize(const std::string& path);

// Every image of an icon file, in directory order.
std::vector<RgbaImage> LoadIconImages(std::span<const std::uint8_t> bytes,
                                      std::uint64_t maxPixels = kMaxImagePixels);

}  // namespace quorlix
