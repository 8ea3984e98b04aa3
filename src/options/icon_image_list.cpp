#include "options/icon_image_list.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace quorlix {

namespace {

// Hands the drawing of the drop-down list's items to the list's owner.
class OwnerDrawDelegate : public QAbstractItemDelegate {
public:
    OwnerDrawDelegate(int itemHeight, IconImageList::DrawItem draw, QObject* parent)
        : QAbstractItemDelegate(parent), itemHeight_(itemHeight), draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        draw_(*painter, index.row(), option.rect, option.state & QStyle::State_Selected);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), itemHeight_);
    }

private:
    int itemHeight_;
    IconImageList::DrawItem draw_;
};

// What assistive technology reads for the list: its name (the items are pictures with blank
// texts, which a combo box would read instead), and which image is shown of how many.
class IconImageListAccessible : public QAccessibleWidget {
public:
    explicit IconImageListAccessible(IconImageList* list)
        : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        const auto* list = static_cast<const IconImageList*>(widget());
        if (kind == QAccessible::Value && list->currentIndex() >= 0) {
            return QStringLiteral("Image %1 of %2")
                .arg(list->currentIndex() + 1)
                .arg(list->count());
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* AccessibleIconImageList(const QString& className, QObject* object) {
    auto* list = qobject_cast<IconImageList*>(object);
    return className == QLatin1String(IconImageList::staticMetaObject.className()) &&
                   list != nullptr
               ? new IconImageListAccessible(list)
               : nullptr;
}

}  // namespace

IconImageList::IconImageList(int itemHeight, DrawItem draw, QWidget* parent)
    : QComboBox(parent), itemHeight_(itemHeight), draw_(std::move(draw)) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(AccessibleIconImageList);
        return true;
    }();
    (void)factoryInstalled;
    setItemDelegate(new OwnerDrawDelegate(itemHeight_, draw_, this));
}

void IconImageList::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) {
        return;
    }
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    painter.save();
    painter.setClipRect(field);
    draw_(painter, currentIndex(), field, hasFocus());
    painter.restore();
}

}  // namespace quorlix
