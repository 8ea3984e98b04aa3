#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace quorlix {

class UpDownControl;

// Controls of the option pages at fixed positions; captioned controls are never narrower than
// their caption needs.

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text, int left,
                        int top);
QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text, int left, int top,
                    int width);
QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& title, int left, int top,
                     int width, int height);
// The arrows of a number edit, placed against its right edge.
UpDownControl* MakeUpDown(QLineEdit& edit, const QString& name, int minimum, int maximum);
// Names a number field and the arrows beside it (if any) for assistive technology; caption is
// the label that shows what the field holds.
void NameNumberField(QLineEdit& edit, UpDownControl* arrows, const QString& name, QLabel* caption);
// Widens a captioned control to its size hint when it is narrower.
void FitCaption(QWidget* control);

}  // namespace quorlix
