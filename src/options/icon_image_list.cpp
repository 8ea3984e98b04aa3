#include "options/icon_image_list.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
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

}  // namespace

IconImageList::IconImageList(int itemHeight, DrawItem draw, QWidget* parent)
    : QComboBox(parent), itemHeight_(itemHeight), draw_(std::move(draw)) {
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
