#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace quorlix {

// The arrows beside a number edit: each click steps the edit's number by 1 within the range, and
// setting the position clamps it to the range and shows it in the edit.
class UpDownControl : public QWidget {
    Q_OBJECT

public:
    UpDownControl(QLineEdit* edit, int minimum, int maximum, int position,
                  QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }

    // Clamps the number to the range, keeps it and shows it in the edit.
    void SetPosition(int value);
    // The up (+1) or down (-1) arrow: from the edit's number when it reads as one, else from
    // the position.
    void StepBy(int steps);

    // Names the arrows for assistive technology after the field they step ("Width up").
    void NameArrowsFor(const QString& fieldName);

    QToolButton* upArrow() const { return up_; }
    QToolButton* downArrow() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    int minimum_;
    int maximum_;
    int position_;
};

// The whole text as a signed decimal number (an optional sign, then digits only), or fallback.
long long DecimalOr(const QString& text, long long fallback);

}  // namespace quorlix
