#include "options/page_layout.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include "widgets/up_down.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

constexpr int kEditHeight = 21;
constexpr int kArrowsWidth = 16;

}  // namespace

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text, int left,
                        int top) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    button->move(left, top);
    button->resize(button->sizeHint());
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text, int left, int top,
                    int width) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, width, kEditHeight);
    return edit;
}

QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& title, int left, int top,
                     int width, int height) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    group->setGeometry(left, top, width, height);
    return group;
}

UpDownControl* MakeUpDown(QLineEdit& edit, const QString& name, int minimum, int maximum) {
    auto* arrows =
        new UpDownControl(&edit, minimum, maximum,
                          static_cast<int>(DecimalOr(edit.text(), minimum)), edit.parentWidget());
    arrows->setObjectName(name);
    arrows->setGeometry(edit.x() + edit.width(), edit.y(), kArrowsWidth, edit.height());
    return arrows;
}

void NameNumberField(QLineEdit& edit, UpDownControl* arrows, const QString& name, QLabel* caption) {
    NameControl(&edit, name, caption);
    if (arrows != nullptr) {
        arrows->NameArrowsFor(name);
    }
}

void FitCaption(QWidget* control) {
    const QSize hint = control->sizeHint();
    control->resize(std::max(control->width(), hint.width()),
                    std::max(control->height(), hint.height()));
}

}  // namespace quorlix
