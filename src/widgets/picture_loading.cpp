#include "widgets/picture_loading.h"

#include <algorithm>
#include <cstring>

#include "imaging/image_loading.h"

namespace quorlix {

QImage ToQImage(const RgbaImage& image) {
    QImage result(image.width, image.height, QImage::Format_RGBA8888);
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(result.scanLine(y),
                    image.pixels.data() + rowBytes * static_cast<std::size_t>(y), rowBytes);
    }
    return result;
}

QImage LoadPicture(const QString& path) {
    return ToQImage(LoadImageFile(path.toStdString()));
}

QSize ProportionalSize(const QSize& picture, const QSize& box) {
    if (picture.width() <= box.width() && picture.height() <= box.height()) {
        return picture;
    }
    return picture.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

}  // namespace quorlix
