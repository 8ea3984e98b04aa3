#include "widgets/file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace quorlix {

QStringList DroppedPaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            paths << url.toLocalFile();
        }
    }
    return paths;
}

FileDropTarget::FileDropTarget(QWidget* target, Accepts accepts, OnDrop onDrop)
    : QObject(target), accepts_(std::move(accepts)), onDrop_(std::move(onDrop)) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = DroppedPaths(*drop->mimeData());
    if (paths.isEmpty() || !accepts_(paths)) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        onDrop_(paths);
    }
    return true;
}

}  // namespace quorlix
