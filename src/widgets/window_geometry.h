#pragma once

#include <QFont>
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

// Gives a control the name assistive technology reads for it, and makes the label that shows
// its caption (if any) its buddy; nothing drawn changes.
void NameControl(QWidget* control, const QString& name, QLabel* caption = nullptr);

// The face and size the windows are laid out for, in place of the 8-point "MS Sans Serif" of the
// original layout; the package depends on the fonts that hold it.
inline constexpr char kProgramFontFamily[] = "Liberation Sans";
inline constexpr int kProgramFontPoints = 8;

// The font every window uses: the program's face, or where it is missing the face fontconfig
// gives for it, at a size that keeps the captions within the layout.
QFont ProgramFont();
// A face that stands in for the program's face: at the size, at most 8 points, at which the
// windows' captions are no wider than in the program's face.
QFont StandInFont(const QString& family);
// Makes ProgramFont the application's font.
void ApplyProgramFont();

}  // namespace quorlix
