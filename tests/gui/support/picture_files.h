#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace quorlix::test {

// Pictures and icon files that the window tests write for themselves.

// One image of a hand-made icon file: a 32-bit bitmap of one colour with its AND mask.
struct IconImageSpec {
    int size;
    QRgb colour;
};
// An icon file: header, directory and the images in directory order.
std::string IconFileBytes(const std::vector<IconImageSpec>& images);

// A GIF of one frame: indexes into a 4-colour table, with one index transparent (or -1).
std::string GifBytes(int width, int height, const std::vector<QRgb>& colours,
                     const std::vector<std::uint8_t>& indexes, int transparent);

// A placeable Windows metafile of width x height pixels that fills a rectangle.
std::string WmfBytes(int width, int height);
// An enhanced metafile of width x height pixels that fills a rectangle.
std::string EmfBytes(int width, int height);

// Saves a Qt image in a format Qt writes (PNG, BMP, JPEG); fails the test when it cannot.
void SaveImage(const QImage& image, const std::string& path, const char* format);

// A picture of one colour.
QImage SolidImage(int width, int height, QColor colour);

}  // namespace quorlix::test
