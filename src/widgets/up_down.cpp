#include "widgets/up_down.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace quorlix {

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType direction) {
    auto* arrow = new QToolButton(parent);
    arrow->setArrowType(direction);
    arrow->setAutoRepeat(true);
    arrow->setFocusPolicy(Qt::NoFocus);
    return arrow;
}

}  // namespace

UpDownControl::UpDownControl(QLineEdit* edit, int minimum, int maximum, int position,
                             QWidget* parent)
    : QWidget(parent),
      edit_(edit),
      up_(MakeArrow(this, Qt::UpArrow)),
      down_(MakeArrow(this, Qt::DownArrow)),
      minimum_(minimum),
      maximum_(maximum),
      position_(std::clamp(position, minimum, maximum)) {
    connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
}

void UpDownControl::SetPosition(int value) {
    position_ = std::clamp(value, minimum_, maximum_);
    edit_->setText(QString::number(position_));
}

void UpDownControl::StepBy(int steps) {
    const long long from =
        std::clamp<long long>(DecimalOr(edit_->text(), position_), minimum_, maximum_);
    SetPosition(static_cast<int>(std::clamp<long long>(from + steps, minimum_, maximum_)));
}

void UpDownControl::NameArrowsFor(const QString& fieldName) {
    setAccessibleName(fieldName);
    up_->setAccessibleName(fieldName + QStringLiteral(" up"));
    down_->setAccessibleName(fieldName + QStringLiteral(" down"));
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

long long DecimalOr(const QString& text, long long fallback) {
    bool ok = false;
    const long long value = text.toLongLong(&ok, 10);
    const bool plain = !text.isEmpty() && !text.front().isSpace() && !text.back().isSpace();
    return ok && plain ? value : fallback;
}

}  // namespace quorlix
