#pragma once

#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QWidget;

namespace quorlix {

// Controls placed at fixed positions, as the windows lay them out.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, int left,
                        int top, int width, int height);
QCheckBox* MakeCheckBox(QWidget* parent, const QString& name, const QString& text, int left,
                        int top, int width, int height);

// The font every window uses in place of the 8-point "MS Sans Serif" of the original layout.
void ApplyProgramFont();

}  // namespace quorlix
