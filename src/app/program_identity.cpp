#include "app/program_identity.h"

#include <QIcon>
#include <QImage>

#include "platform/program_resources.h"

namespace quorlix {

QPixmap ProgramIconPixmap(int size) {
    const auto bytes = FindProgramResource("ICONFILE", "DORICON");
    if (!bytes) {
        return {};
    }
    QPixmap pixmap;
    pixmap.loadFromData(bytes->data(), static_cast<uint>(bytes->size()), "ICO");
    return pixmap.isNull() ? pixmap : pixmap.scaled(size, size, Qt::KeepAspectRatio);
}

}  // namespace quorlix
