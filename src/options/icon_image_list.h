#pragma once

#include <QComboBox>
#include <functional>

namespace quorlix {

// An owner-drawn drop-down list with items of a fixed height: every item, in the list and in
// the box, is drawn by the function it is given.
class IconImageList : public QComboBox {
    Q_OBJECT

public:
    using DrawItem =
        std::function<void(QPainter& painter, int index, const QRect& rect, bool selected)>;

    IconImageList(int itemHeight, DrawItem draw, QWidget* parent = nullptr);

    int itemHeight() const { return itemHeight_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int itemHeight_;
    DrawItem draw_;
};

}  // namespace quorlix
