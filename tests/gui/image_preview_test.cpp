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
    ImagePreviewWindow form;

    Preview(bool fadeIn, bool fadeOut, bool waitForClick, int seconds) {
        form.SetPicture(Picture(40, 30));
        form.fadeIn = fadeIn;
        form.fadeOut = fadeOut;
        form.waitForClick = waitForClick;
        form.closeAfterSeconds = seconds;
        form.DriveTimersByHand();
        form.show();
    }
    void Click() {
        QTest::mouseClick(const_cast<PictureBox*>(&form.image()), Qt::LeftButton, {}, QPoint(5, 5));
    }
    // Which timers run, as "close fade-in fade-out" flags.
    std::string Timers() const {
        return std::string(form.closeTimer.IsActive() ? "C" : "-") +
               (form.fadeInTimer.IsActive() ? "I" : "-") +
               (form.fadeOutTimer.IsActive() ? "O" : "-");
    }
};

TEST(ImagePreview, IsABorderlessWindowOnTopCentredAndSizedToThePicture) {
    ImagePreviewWindow form;
    form.SetPicture(Picture(120, 80));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.size(), QSize(120, 80));
    EXPECT_EQ(form.image().geometry(), QRect(0, 0, 120, 80));
    EXPECT_EQ(form.image().cursor().shape(), Qt::PointingHandCursor);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((form.geometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_EQ(
        form.closeTimer.IsActive() || form.fadeInTimer.IsActive() || form.fadeOutTimer.IsActive(),
        false)
        << "every timer stopped at creation";
}

TEST(ImagePreview, FadesInOver17TicksThenStartsTheCloseTimerOnThe18th) {
    Preview p(true, false, false, 2);
    EXPECT_EQ(p.form.phase, 1);
    EXPECT_EQ(p.form.alpha(), 0);
    EXPECT_TRUE(p.form.transparencyOn());
    EXPECT_DOUBLE_EQ(p.form.windowOpacity(), 0.0);
    EXPECT_EQ(p.Timers(), "-I-");
    EXPECT_EQ(p.form.fadeInTimer.Interval(), 100);

    std::vector<int> alphas;
    for (int tick = 1; tick <= 17; ++tick) {
        p.form.FadeInTimerTick();
        alphas.push_back(p.form.alpha());
        EXPECT_EQ(p.form.phase, 1) << tick;
        EXPECT_EQ(p.Timers(), "-I-") << tick;
    }
    EXPECT_EQ(alphas, std::vector<int>({15, 30, 45, 60, 75, 90, 105, 120, 135, 150, 165, 180, 195,
                                        210, 225, 240, 255}));
    EXPECT_DOUBLE_EQ(p.form.windowOpacity(), 1.0);

    p.Click();  // still fading in: ignored
    EXPECT_TRUE(p.form.isVisible());
    EXPECT_EQ(p.form.phase, 1);

    p.form.FadeInTimerTick();
    EXPECT_EQ(p.form.phase, 2);
    EXPECT_EQ(p.Timers(), "C--");
    EXPECT_EQ(p.form.closeTimer.Interval(), 2000);

    p.form.CloseTimerTick();
    EXPECT_FALSE(p.form.isVisible()) << "no fade-out: closed by the close timer";
    EXPECT_EQ(p.Timers(), "---");
}

TEST(ImagePreview, StartsShownWithoutAFadeIn) {
    Preview p(false, false, false, 5);
    EXPECT_EQ(p.form.phase, 2);
    EXPECT_FALSE(p.form.transparencyOn());
    EXPECT_DOUBLE_EQ(p.form.windowOpacity(), 1.0);
    EXPECT_EQ(p.Timers(), "C--");
    EXPECT_EQ(p.form.closeTimer.Interval(), 5000);
}

TEST(ImagePreview, ZeroSecondsNeverClosesByItselfButAClickCloses) {
    Preview p(false, false, false, 0);
    EXPECT_EQ(p.form.phase, 2);
    EXPECT_EQ(p.Timers(), "---");
    p.Click();
    EXPECT_FALSE(p.form.isVisible());
}

TEST(ImagePreview, ClickStartsAFadeOutOf18TicksAndFurtherClicksAreIgnored) {
    Preview p(false, true, true, 3);
    EXPECT_EQ(p.form.phase, 2);
    EXPECT_EQ(p.Timers(), "---") << "waits for a click";

    p.Click();
    EXPECT_EQ(p.form.phase, 3);
    EXPECT_EQ(p.Timers(), "--O");
    EXPECT_EQ(p.form.fadeOutTimer.Interval(), 200);
    EXPECT_TRUE(p.form.transparencyOn());
    EXPECT_EQ(p.form.alpha(), 255);

    p.form.FadeOutTimerTick();
    p.Click();
    EXPECT_EQ(p.form.alpha(), 240) << "a click while fading changes nothing";
    EXPECT_EQ(p.form.phase, 3);
    for (int tick = 2; tick <= 17; ++tick) {
        p.form.FadeOutTimerTick();
        EXPECT_EQ(p.form.alpha(), 255 - 15 * tick) << tick;
        EXPECT_TRUE(p.form.isVisible()) << tick;
    }
    EXPECT_EQ(p.form.alpha(), 0);
    EXPECT_DOUBLE_EQ(p.form.windowOpacity(), 0.0);
    p.form.FadeOutTimerTick();  // the 18th: 18 x 200 ms = 3.6 s
    EXPECT_FALSE(p.form.isVisible());
    EXPECT_EQ(p.Timers(), "---");
}

TEST(ImagePreview, CloseTimerStartsTheFadeOut) {
    Preview p(true, true, false, 1);
    for (int tick = 0; tick < 18; ++tick) {
        p.form.FadeInTimerTick();
    }
    EXPECT_EQ(p.Timers(), "C--");
    p.form.CloseTimerTick();
    EXPECT_EQ(p.form.phase, 3);
    EXPECT_EQ(p.Timers(), "--O");
    EXPECT_TRUE(p.form.isVisible());
    EXPECT_EQ(p.form.alpha(), 255);
}

TEST(ImagePreview, ClickWithoutFadeOutClosesAtOnceOnlyWhenShown) {
    Preview p(false, false, true, 3);
    p.Click();
    EXPECT_FALSE(p.form.isVisible());
}

TEST(ImagePreview, EscapeDoesNotClose) {
    Preview p(false, false, true, 3);
    QTest::keyClick(&p.form, Qt::Key_Escape);
    EXPECT_TRUE(p.form.isVisible());
}

TEST(ImagePreview, ColourKeyCutsAwayTheKeyColourAndTransparentPixels) {
    QImage picture(4, 2, QImage::Format_ARGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixel(1, 0, qRgba(0, 0, 0, 0));  // transparent
    picture.setPixel(2, 1, qRgb(0, 1, 0));      // the key colour itself
    ImagePreviewWindow form;
    form.SetPicture(picture);
    form.UseColourKey();
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0, 1, 0));
    const QRegion shown = form.mask();
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
    ImagePreviewWindow form;
    form.SetPicture(Picture(10, 10));
    EXPECT_FALSE(form.testAttribute(Qt::WA_TranslucentBackground));
    form.PaintNoBackground();
    EXPECT_TRUE(form.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(form.autoFillBackground());
}

}  // namespace
}  // namespace quorlix::test
