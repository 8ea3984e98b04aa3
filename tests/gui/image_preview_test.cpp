// The image preview window: its shape and place, the fades, the close timer and the click
// rules, ticked by hand.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "options/image_preview_window.h"
#include "support/window_harness.h"
#include "widgets/picture_box.h"

namespace quorlix::test {
namespace {

QImage Picture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(200, 40, 40));
    return image;
}

// A preview of a 40 x 30 picture with its timers ticked by hand.
struct Preview {
    ImagePreviewWindow window;

    Preview(bool fadeIn, bool fadeOut, bool waitForClick, int seconds) {
        window.SetPicture(Picture(40, 30));
        window.fadeIn = fadeIn;
        window.fadeOut = fadeOut;
        window.waitForClick = waitForClick;
        window.closeAfterSeconds = seconds;
        window.DriveTimersByHand();
        window.show();
    }
    void Click() {
        QTest::mouseClick(const_cast<PictureBox*>(&window.pictureBox()), Qt::LeftButton, {},
                          QPoint(5, 5));
    }
    // Which timers run, as "close fade-in fade-out" flags.
    std::string Timers() const {
        return std::string(window.closeTimer.IsActive() ? "C" : "-") +
               (window.fadeInTimer.IsActive() ? "I" : "-") +
               (window.fadeOutTimer.IsActive() ? "O" : "-");
    }
};

TEST(ImagePreview, IsABorderlessWindowOnTopCentredAndSizedToThePicture) {
    ImagePreviewWindow window;
    window.SetPicture(Picture(120, 80));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.size(), QSize(120, 80));
    EXPECT_EQ(window.pictureBox().geometry(), QRect(0, 0, 120, 80));
    EXPECT_EQ(window.pictureBox().cursor().shape(), Qt::PointingHandCursor);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((window.geometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_EQ(window.closeTimer.IsActive() || window.fadeInTimer.IsActive() ||
                  window.fadeOutTimer.IsActive(),
              false)
        << "every timer stopped at creation";
}

TEST(ImagePreview, FadesInOver17TicksThenStartsTheCloseTimerOnThe18th) {
    Preview p(true, false, false, 2);
    EXPECT_EQ(p.window.phase, 1);
    EXPECT_EQ(p.window.alpha(), 0);
    EXPECT_TRUE(p.window.transparencyOn());
    EXPECT_DOUBLE_EQ(p.window.windowOpacity(), 0.0);
    EXPECT_EQ(p.Timers(), "-I-");
    EXPECT_EQ(p.window.fadeInTimer.Interval(), 100);

    std::vector<int> alphas;
    for (int tick = 1; tick <= 17; ++tick) {
        p.window.fadeInTimerTick();
        alphas.push_back(p.window.alpha());
        EXPECT_EQ(p.window.phase, 1) << tick;
        EXPECT_EQ(p.Timers(), "-I-") << tick;
    }
    EXPECT_EQ(alphas, std::vector<int>({15, 30, 45, 60, 75, 90, 105, 120, 135, 150, 165, 180, 195,
                                        210, 225, 240, 255}));
    EXPECT_DOUBLE_EQ(p.window.windowOpacity(), 1.0);

    p.Click();  // still fading in: ignored
    EXPECT_TRUE(p.window.isVisible());
    EXPECT_EQ(p.window.phase, 1);

    p.window.fadeInTimerTick();
    EXPECT_EQ(p.window.phase, 2);
    EXPECT_EQ(p.Timers(), "C--");
    EXPECT_EQ(p.window.closeTimer.Interval(), 2000);

    p.window.closeTimerTick();
    EXPECT_FALSE(p.window.isVisible()) << "no fade-out: closed by the close timer";
    EXPECT_EQ(p.Timers(), "---");
}

TEST(ImagePreview, StartsShownWithoutAFadeIn) {
    Preview p(false, false, false, 5);
    EXPECT_EQ(p.window.phase, 2);
    EXPECT_FALSE(p.window.transparencyOn());
    EXPECT_DOUBLE_EQ(p.window.windowOpacity(), 1.0);
    EXPECT_EQ(p.Timers(), "C--");
    EXPECT_EQ(p.window.closeTimer.Interval(), 5000);
}

TEST(ImagePreview, ZeroSecondsNeverClosesByItselfButAClickCloses) {
    Preview p(false, false, false, 0);
    EXPECT_EQ(p.window.phase, 2);
    EXPECT_EQ(p.Timers(), "---");
    p.Click();
    EXPECT_FALSE(p.window.isVisible());
}

TEST(ImagePreview, ClickStartsAFadeOutOf18TicksAndFurtherClicksAreIgnored) {
    Preview p(false, true, true, 3);
    EXPECT_EQ(p.window.phase, 2);
    EXPECT_EQ(p.Timers(), "---") << "waits for a click";

    p.Click();
    EXPECT_EQ(p.window.phase, 3);
    EXPECT_EQ(p.Timers(), "--O");
    EXPECT_EQ(p.window.fadeOutTimer.Interval(), 200);
    EXPECT_TRUE(p.window.transparencyOn());
    EXPECT_EQ(p.window.alpha(), 255);

    p.window.fadeOutTimerTick();
    p.Click();
    EXPECT_EQ(p.window.alpha(), 240) << "a click while fading changes nothing";
    EXPECT_EQ(p.window.phase, 3);
    for (int tick = 2; tick <= 17; ++tick) {
        p.window.fadeOutTimerTick();
        EXPECT_EQ(p.window.alpha(), 255 - 15 * tick) << tick;
        EXPECT_TRUE(p.window.isVisible()) << tick;
    }
    EXPECT_EQ(p.window.alpha(), 0);
    EXPECT_DOUBLE_EQ(p.window.windowOpacity(), 0.0);
    p.window.fadeOutTimerTick();  // the 18th: 18 x 200 ms = 3.6 s
    EXPECT_FALSE(p.window.isVisible());
    EXPECT_EQ(p.Timers(), "---");
}

TEST(ImagePreview, CloseTimerStartsTheFadeOut) {
    Preview p(true, true, false, 1);
    for (int tick = 0; tick < 18; ++tick) {
        p.window.fadeInTimerTick();
    }
    EXPECT_EQ(p.Timers(), "C--");
    p.window.closeTimerTick();
    EXPECT_EQ(p.window.phase, 3);
    EXPECT_EQ(p.Timers(), "--O");
    EXPECT_TRUE(p.window.isVisible());
    EXPECT_EQ(p.window.alpha(), 255);
}

TEST(ImagePreview, ClickWithoutFadeOutClosesAtOnceOnlyWhenShown) {
    Preview p(false, false, true, 3);
    p.Click();
    EXPECT_FALSE(p.window.isVisible());
}

TEST(ImagePreview, EscapeDoesNotClose) {
    Preview p(false, false, true, 3);
    QTest::keyClick(&p.window, Qt::Key_Escape);
    EXPECT_TRUE(p.window.isVisible());
}

TEST(ImagePreview, ColourKeyCutsAwayTheKeyColourAndTransparentPixels) {
    QImage picture(4, 2, QImage::Format_ARGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixel(1, 0, qRgba(0, 0, 0, 0));  // transparent
    picture.setPixel(2, 1, qRgb(0, 1, 0));      // the key colour itself
    ImagePreviewWindow window;
    window.SetPicture(picture);
    window.UseColourKey();
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0, 1, 0));
    const QRegion shown = window.mask();
    EXPECT_TRUE(shown.contains(QPoint(0, 0)));
    EXPECT_FALSE(shown.contains(QPoint(1, 0)));
    EXPECT_FALSE(shown.contains(QPoint(2, 1)));
    EXPECT_TRUE(shown.contains(QPoint(3, 1)));

    QImage nothing(4, 2, QImage::Format_ARGB32);
    nothing.fill(Qt::transparent);
    ImagePreviewWindow invisible;
    invisible.SetPicture(nothing);
    invisible.UseColourKey();
    EXPECT_TRUE(invisible.mask().isEmpty()) << "a picture of nothing keeps its whole window";
}

TEST(ImagePreview, PaintsNoBackgroundForPictureWithAlpha) {
    ImagePreviewWindow window;
    window.SetPicture(Picture(10, 10));
    EXPECT_FALSE(window.testAttribute(Qt::WA_TranslucentBackground));
    window.PaintNoBackground();
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(window.autoFillBackground());
}

}  // namespace
}  // namespace quorlix::test
