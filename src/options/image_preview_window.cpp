#include "options/image_preview_window.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <algorithm>
#include <climits>

#include "widgets/picture_box.h"

namespace quorlix {

namespace {

const QRgb kColourKey = qRgb(0, 1, 0);

// The part of the picture, laid over the colour key, that does not show the key colour.
QRegion OutsideColourKey(const QImage& picture) {
    QImage composed(picture.size(), QImage::Format_RGB32);
    composed.fill(kColourKey);
    QPainter(&composed).drawImage(0, 0, picture);
    return QRegion(QBitmap::fromImage(composed.createMaskFromColor(kColourKey, Qt::MaskInColor)));
}

}  // namespace

ImagePreviewWindow::ImagePreviewWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(new PictureBox(this)) {
    setObjectName(QStringLiteral("imagePreviewWindow"));
    picture_->setObjectName(QStringLiteral("picture"));
    picture_->setCursor(Qt::PointingHandCursor);
    picture_->move(0, 0);
    connect(picture_, &PictureBox::clicked, this, &ImagePreviewWindow::pictureClicked);
    connect(&closeTimer, &WindowTimer::Tick, this, &ImagePreviewWindow::closeTimerTick);
    connect(&fadeInTimer, &WindowTimer::Tick, this, &ImagePreviewWindow::fadeInTimerTick);
    connect(&fadeOutTimer, &WindowTimer::Tick, this, &ImagePreviewWindow::fadeOutTimerTick);
}

void ImagePreviewWindow::SetPicture(const QImage& picture) {
    picture_->SetPicture(picture);
    picture_->resize(picture.size());
    setFixedSize(picture.size());
    const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : this->screen();
    if (screen != nullptr) {
        move(screen->geometry().center() - rect().center());
    }
}

void ImagePreviewWindow::PaintNoBackground() {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void ImagePreviewWindow::UseColourKey() {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(kColourKey));
    setPalette(colours);
    setAutoFillBackground(true);
    const QRegion shown = OutsideColourKey(picture_->picture());
    // A picture of nothing but the key colour keeps its window, so that it can still be clicked.
    if (!shown.isEmpty()) {
        setMask(shown);
    }
}

void ImagePreviewWindow::DriveTimersByHand() {
    closeTimer.DriveByHand();
    fadeInTimer.DriveByHand();
    fadeOutTimer.DriveByHand();
}

void ImagePreviewWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        startShowing();
    }
}

void ImagePreviewWindow::hideEvent(QHideEvent* event) {
    closeTimer.Stop();
    fadeInTimer.Stop();
    fadeOutTimer.Stop();
    QDialog::hideEvent(event);
}

void ImagePreviewWindow::keyPressEvent(QKeyEvent* event) {
    // Only a click closes the preview; Escape does not.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ImagePreviewWindow::startShowing() {
    if (fadeIn) {
        SetAlpha(0);
        SetTransparency(true);
        phase = 1;
        fadeInTimer.Start(kFadeInInterval);
        return;
    }
    SetTransparency(false);
    phase = 2;
    StartCloseTimer();
}

void ImagePreviewWindow::fadeInTimerTick() {
    phase = 1;
    if (alpha_ < 255) {
        SetAlpha(alpha_ > 255 - kFadeInStep ? 255 : alpha_ + kFadeInStep);
        return;
    }
    fadeInTimer.Stop();
    phase = 2;
    StartCloseTimer();
}

void ImagePreviewWindow::closeTimerTick() {
    phase = 2;
    closeTimer.Stop();
    if (!fadeOut) {
        close();
        return;
    }
    phase = 3;
    SetTransparency(true);
    if (!fadeOutTimer.IsActive()) {
        fadeOutTimer.Start(kFadeOutInterval);
    }
}

void ImagePreviewWindow::fadeOutTimerTick() {
    phase = 3;
    if (alpha_ >= kFadeOutStep) {
        SetAlpha(alpha_ - kFadeOutStep);
        return;
    }
    fadeOutTimer.Stop();
    close();
}

void ImagePreviewWindow::pictureClicked() {
    if (phase != 2) {
        return;
    }
    if (!fadeOut) {
        close();
        return;
    }
    if (fadeOutTimer.IsActive()) {
        return;
    }
    StartFadeOut();
}

void ImagePreviewWindow::StartFadeOut() {
    phase = 3;
    SetAlpha(255);
    SetTransparency(true);
    fadeOutTimer.Start(kFadeOutInterval);
}

void ImagePreviewWindow::StartCloseTimer() {
    if (waitForClick) {
        return;
    }
    const long long milliseconds = std::min<long long>(closeAfterSeconds * 1000LL, INT_MAX);
    if (milliseconds > 0) {
        closeTimer.Start(static_cast<int>(milliseconds));
    }
}

void ImagePreviewWindow::SetTransparency(bool on) {
    transparencyOn_ = on;
    setWindowOpacity(on ? alpha_ / 255.0 : 1.0);
}

void ImagePreviewWindow::SetAlpha(int alpha) {
    alpha_ = alpha;
    if (transparencyOn_) {
        setWindowOpacity(alpha_ / 255.0);
    }
}

}  // namespace quorlix
