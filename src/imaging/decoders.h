#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "imaging/picture_canvas.h"
#include "imaging/rgba_image.h"

namespace quorlix {

// One decoder per picture kind. Each refuses a picture larger than maxPixels before allocating
// its pixels and throws quorlix::Error naming the kind and the reason for any damage. Given a
// box, JPEG, PNG and GIF give the picture at the size it is shown at in that box (FittedSize),
// reduced while they decode, never holding it whole.
RgbaImage DecodeJpeg(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                     std::optional<PixelSize> box = std::nullopt);
// Decodes a JPEG picture into a canvas, at the smallest of the library's scales that the canvas
// takes.
void DecodeJpegInto(std::span<const std::uint8_t> bytes, PictureCanvas& canvas);
RgbaImage DecodePng(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                    std::optional<PixelSize> box = std::nullopt);
RgbaImage DecodeGif(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                    std::optional<PixelSize> box = std::nullopt);
RgbaImage DecodeBmp(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels);
// The icon image a window shows by default: the one nearest 32 pixels wide.
RgbaImage DecodeIco(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels);
RgbaImage DecodeWmf(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels);
RgbaImage DecodeEmf(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels);

// Draws an SVG document at its own size, or scaled to the given size.
RgbaImage RasteriseSvg(std::string_view svg, std::uint64_t maxPixels);
RgbaImage RasteriseSvg(std::string_view svg, int width, int height, std::uint64_t maxPixels);

}  // namespace quorlix
