#pragma once

#include <QDialog>
#include <QImage>

#include "options/window_timer.h"

namespace quorlix {

class PictureBox;

// The image preview window: a borderless window on top of the others, centred on the screen,
// that shows one picture at its own size; it fades in and out as asked and closes after a number
// of seconds or on a click.
class ImagePreviewWindow : public QDialog {
    Q_OBJECT

public:
    // Alpha steps of the fades and the timers' intervals.
    static constexpr int kFadeInStep = 15;
    static constexpr int kFadeOutStep = 15;
    static constexpr int kFadeInInterval = 100;
    static constexpr int kFadeOutInterval = 200;

    explicit ImagePreviewWindow(QWidget* parent = nullptr);

    // Puts the picture at 0, 0 and makes the window exactly as large as the picture, centred
    // on the screen.
    void SetPicture(const QImage& picture);
    // The window paints no background of its own: where the picture is transparent, what is
    // behind the window shows.
    void PaintNoBackground();
    // The window's colour becomes RGB(0,1,0), and wherever that colour shows the window is cut
    // away (a window mask, which needs no compositor).
    void UseColourKey();
    // The timers keep their state but tick only when their handlers are run.
    void DriveTimersByHand();

    int alpha() const { return alpha_; }
    // Whole-window transparency at alpha() is on; off, the window is opaque.
    bool transparencyOn() const { return transparencyOn_; }
    const PictureBox& pictureBox() const { return *picture_; }

    int phase = 1;  // 1 fading in, 2 shown, 3 fading out
    bool waitForClick = false;
    bool fadeIn = false;
    bool fadeOut = false;
    int closeAfterSeconds = 0;

    WindowTimer closeTimer;
    WindowTimer fadeInTimer;
    WindowTimer fadeOutTimer;

public slots:
    // Once, when the window is first shown: the fade-in, or the close timer.
    void startShowing();
    void closeTimerTick();
    void fadeInTimerTick();
    void fadeOutTimerTick();
    void pictureClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetTransparency(bool on);
    void SetAlpha(int alpha);
    // Starts the close timer unless the window waits for a click; 0 seconds never closes it.
    void StartCloseTimer();
    void StartFadeOut();

    PictureBox* picture_;
    int alpha_ = 255;
    bool transparencyOn_ = false;
    bool shown_ = false;
};

}  // namespace quorlix
