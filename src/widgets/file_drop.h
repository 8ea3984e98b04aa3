#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace quorlix {

// The local files and folders a drag carries, as paths in the order given; empty when it
// carries none.
QStringList DroppedPaths(const QMimeData& data);

// Lets files and folders from the file manager be dropped on a widget: a drag is accepted when
// accepts says yes to its paths, and a drop hands them to onDrop.
class FileDropTarget : public QObject {
    Q_OBJECT

public:
    using Accepts = std::function<bool(const QStringList& paths)>;
    using OnDrop = std::function<void(const QStringList& paths)>;

    FileDropTarget(QWidget* target, Accepts accepts, OnDrop onDrop);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Accepts accepts_;
    OnDrop onDrop_;
};

}  // namespace quorlix
