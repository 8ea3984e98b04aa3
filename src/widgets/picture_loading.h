#pragma once

#include <QImage>
#include <QString>

#include "imaging/rgba_image.h"

namespace quorlix {

// A decoded picture as a Qt image (RGBA, alpha not premultiplied).
QImage ToQImage(const RgbaImage& image);

// Loads a picture file of any kind the program reads. Throws quorlix::Error or
// std::system_error with the reason when it cannot.
QImage LoadPicture(const QString& path);

// The size that fits a picture into a box without distortion: smaller pictures keep their
// size, larger ones shrink until both sides fit.
QSize ProportionalSize(const QSize& picture, const QSize& box);

}  // namespace quorlix
