#include "widgets/window_geometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>

namespace quorlix {

namespace {

// Captions of the windows, and their width in Liberation Sans in ems.
const QString kCaptionSample = QStringLiteral(
    "Generate an Autorun file for VCD/DVD disc MS Word version required in target computer: "
    "Watermark will appear every seconds and disappear after");
constexpr double kCaptionSampleWidth = 65.4178;

}  // namespace

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, int left,
                        int top, int width, int height) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(left, top, width, height);
    return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& name, const QString& text, int left,
                        int top, int width, int height) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(left, top, width, height);
    return box;
}

void NameControl(QWidget* control, const QString& name, QLabel* caption) {
    control->setAccessibleName(name);
    if (caption != nullptr) {
        caption->setBuddy(control);
    }
}

QFont ProgramFont() {
    // Liberation Sans has the metrics of the Windows sans-serif faces, so every caption fits the
    // original geometry. Where it is missing, the face fontconfig gives instead stands in.
    QFont font(QString::fromLatin1(kProgramFontFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kProgramFontPoints);
    const QString resolved = QFontInfo(font).family();
    return resolved == QString::fromLatin1(kProgramFontFamily) ? font : StandInFont(resolved);
}

QFont StandInFont(const QString& family) {
    // DejaVu Sans, for one, is an eighth wider: it is made smaller until the captions are no
    // wider than in Liberation Sans.
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kProgramFontPoints);
    QFont probe = font;
    probe.setPixelSize(1000);
    const double width = QFontMetricsF(probe).horizontalAdvance(kCaptionSample) / 1000.0;
    // Captions vary around the sample; the margin keeps the widest of them inside.
    const double fitted = kCaptionSampleWidth * 0.97;
    if (width > fitted) {
        font.setPointSizeF(kProgramFontPoints * fitted / width);
    }
    return font;
}

void ApplyProgramFont() {
    QApplication::setFont(ProgramFont());
}

}  // namespace quorlix
