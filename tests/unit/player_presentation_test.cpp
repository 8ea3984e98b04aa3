// The player's reading of the presentation options the converter writes, and the logo window's
// fade timing, checked on lines written by the converter and on lines typed here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/logo_fade.h"
#include "common/presentation_options.h"
#include "conversion/option_files.h"

namespace quorlix {
namespace {

using Timer = LogoFade::Timer;

TEST(PlayerPresentation, LogoLinesAsTheConverterWritesThem) {
    OptionSet set;
    set.showfirstimage = true;
    set.firstimage = "/pictures/Splash.JPG";
    set.firsttrans1 = true;
    set.firsttrans2 = true;
    set.firstclick = 0;
    set.firstsec = "7";
    const std::optional<LogoOptions> first = ParseLogoOptions(Trmack1Lines(set));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->imageEntry, "option\\1.JPG");
    EXPECT_TRUE(first->fadeIn);
    EXPECT_TRUE(first->fadeOut);
    EXPECT_FALSE(first->waitForClick);
    EXPECT_EQ(first->seconds, 7u);
    EXPECT_EQ(first->kind, PictureKind::Bitmap);

    set.showsecondimage = true;
    set.secondimage = "/pictures/end.gif";
    set.secondtrans1 = true;
    set.secondtrans2 = true;
    set.secondclick = 1;
    const std::optional<LogoOptions> second = ParseLogoOptions(Trmack2Lines(set));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->imageEntry, "option\\2.gif");
    EXPECT_EQ(second->kind, PictureKind::Gif);
    EXPECT_FALSE(second->fadeIn) << "GIF, PNG, WMF and EMF never fade";
    EXPECT_FALSE(second->fadeOut);
    EXPECT_TRUE(second->waitForClick);

    EXPECT_FALSE(ParseLogoOptions({}));
    const std::optional<LogoOptions> damaged = ParseLogoOptions({"option\\1.png", "1", "1", "x"});
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->seconds, 3u) << "unreadable seconds count as the default";
    EXPECT_FALSE(damaged->fadeOut);
    EXPECT_EQ(PictureKindOf("option\\1.EMF"), PictureKind::Metafile);
    EXPECT_EQ(PictureKindOf("option\\1.Png"), PictureKind::Png);

    const std::vector<std::string> switches = WinsetbrowerLines(set, "/tmp/~~~.txt", true, false);
    EXPECT_TRUE(LogoSwitchedOn(switches, 1));
    EXPECT_FALSE(LogoSwitchedOn(switches, 2));
}

TEST(PlayerPresentation, FadeInShowCloseAndFadeOutFollowThePreviewWindowsSteps) {
    LogoFade fade(true, true, false, 2);
    fade.Show();
    EXPECT_EQ(fade.phase(), 1);
    EXPECT_EQ(fade.alpha(), 0);
    EXPECT_TRUE(fade.layered());
    EXPECT_EQ(fade.interval(Timer::FadeIn), 100u);
    std::vector<int> alphas;
    for (int tick = 0; tick < 17; ++tick) {
        fade.Click();  // ignored while fading in
        fade.Tick(Timer::FadeIn);
        alphas.push_back(fade.alpha());
    }
    EXPECT_EQ(alphas.front(), 15);
    EXPECT_EQ(alphas.back(), 255) << "opaque after 17 ticks";
    EXPECT_FALSE(fade.running(Timer::Close));
    fade.Tick(Timer::FadeIn);
    EXPECT_EQ(fade.phase(), 2) << "the 18th tick ends the fade-in";
    EXPECT_FALSE(fade.running(Timer::FadeIn));
    ASSERT_TRUE(fade.running(Timer::Close));
    EXPECT_EQ(fade.interval(Timer::Close), 2000u);
    fade.Tick(Timer::Close);
    EXPECT_EQ(fade.phase(), 3);
    EXPECT_TRUE(fade.running(Timer::FadeOut));
    EXPECT_EQ(fade.interval(Timer::FadeOut), 200u);
    int ticks = 0;
    while (!fade.closed() && ticks < 100) {
        fade.Click();  // ignored while fading out
        fade.Tick(Timer::FadeOut);
        ++ticks;
    }
    EXPECT_EQ(ticks, 18) << "alpha 0 after 17 ticks, closed on the 18th";
}

TEST(PlayerPresentation, ClicksCloseOnlyOnceThePictureIsFullyShown) {
    LogoFade plain(false, false, true, 3);
    plain.Show();
    EXPECT_EQ(plain.phase(), 2);
    EXPECT_FALSE(plain.layered());
    EXPECT_FALSE(plain.running(Timer::Close)) << "waits for a click";
    plain.Click();
    EXPECT_TRUE(plain.closed());

    LogoFade never(false, false, false, 0);
    never.Show();
    EXPECT_FALSE(never.running(Timer::Close)) << "0 seconds never closes by itself";

    LogoFade clickOut(false, true, true, 3);
    clickOut.Show();
    clickOut.Click();
    EXPECT_EQ(clickOut.phase(), 3);
    EXPECT_EQ(clickOut.alpha(), 255);
    EXPECT_TRUE(clickOut.layered());
    clickOut.Tick(Timer::FadeOut);
    clickOut.Click();
    EXPECT_EQ(clickOut.alpha(), 240) << "a second click does not restart the fade-out";
    EXPECT_FALSE(clickOut.closed());
}

TEST(PlayerPresentation, WindowOptionsAndWordVersion) {
    OptionSet set;
    set.opwidth = "800";
    set.opheigh = "600";
    set.opmax = false;
    set.opnoresi = true;
    set.opcomm = 4;
    const WindowOptions window = ParseWindowOptions(WinoptionsLines(set, "/docs/Plan.docx"));
    EXPECT_EQ(window.title, "Plan-This Word document will help you");
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);
    EXPECT_FALSE(window.maximised);
    EXPECT_TRUE(window.fixedFrame);
    EXPECT_EQ(window.wordVersion, 14);

    const WindowOptions defaults = ParseWindowOptions(WinoptionsLines(OptionSet{}, "a.doc"));
    EXPECT_TRUE(defaults.maximised);
    EXPECT_FALSE(defaults.fixedFrame);
    EXPECT_EQ(defaults.wordVersion, 9);

    const WindowOptions damaged = ParseWindowOptions({"T", "wide", "0", "yes"});
    EXPECT_FALSE(damaged.width);
    EXPECT_FALSE(damaged.height);
    EXPECT_FALSE(damaged.maximised);
    EXPECT_FALSE(damaged.wordVersion);

    EXPECT_EQ(WordVersionFromCurVer("Word.Application.16"), 16);
    EXPECT_EQ(WordVersionFromCurVer("word.application.9"), 9);
    EXPECT_FALSE(WordVersionFromCurVer("Word.Application."));
    EXPECT_FALSE(WordVersionFromCurVer("Excel.Application.16"));
}

TEST(PlayerPresentation, EmbeddedFontsPairNamesWithFilesAndSkipUnsafeNames) {
    OptionSet set;
    set.embedfonts = true;
    set.embedfontlist = {{"Quorlix Sans (TrueType)", "/usr/share/fonts/q/QuorlixSans.ttf"},
                         {"Old Roman", "old.pfm|old.pfb"}};
    const std::vector<EmbeddedFont> fonts =
        ParseEmbeddedFonts(Trmacke1Lines(set), Trmacke2Lines(set));
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].displayName, "Quorlix Sans (TrueType)");
    EXPECT_EQ(fonts[0].entries, std::vector<std::string>{"myfont\\QuorlixSans.ttf"});
    EXPECT_EQ(fonts[1].entries, (std::vector<std::string>{"myfont\\old.pfm", "myfont\\old.pfb"}));

    EXPECT_EQ(FaceOfDisplayName(fonts[0].displayName), "Quorlix Sans");
    EXPECT_EQ(FaceOfDisplayName("Cambria & Cambria Math (TrueType)"), "Cambria");
    EXPECT_EQ(FaceOfDisplayName("Old Roman"), "Old Roman");
    EXPECT_TRUE(ParseEmbeddedFonts({"0"}, {"0"}).empty());
    const std::vector<EmbeddedFont> unsafe =
        ParseEmbeddedFonts({"1", "A", "B", "C", "D"}, {"1", "..\\x.ttf", "c:x.ttf", "", "d.ttf"});
    ASSERT_EQ(unsafe.size(), 1u);
    EXPECT_EQ(unsafe[0].displayName, "D");
}

TEST(PlayerPresentation, TextWatermarkLinesFontAndPlacement) {
    OptionSet set;
    set.watertype = 1;
    set.waterweb = " https://example.org/mark ";
    set.watertext = "Draft";
    set.waterleft1 = "40";
    set.watertop1 = "30";
    set.waterhasdis = true;
    set.watereverysecond = "10";
    set.wateredissecond = "4";
    set.waterstringposition = 1;
    set.waterstringhr = 2;
    set.waterstringver = 1;
    const WatermarkOptions mark = ParseWatermarkOptions(WateroptionsLines(set, false));
    ASSERT_EQ(mark.kind, WatermarkKind::Text);
    EXPECT_EQ(mark.text, "Draft");
    EXPECT_EQ(mark.font.face, "MS Sans Serif");
    EXPECT_EQ(mark.font.height, -16);
    EXPECT_EQ(mark.font.colour, 0x00808000u);
    EXPECT_EQ(mark.font.style, 1u);
    EXPECT_EQ(mark.backColour, 0x0000FFFFu);
    EXPECT_EQ(mark.placement, WatermarkPlacement::Relative);
    EXPECT_EQ(WatermarkAddress(mark.web), "https://example.org/mark");

    const Point relative = PlaceWatermark(mark, 800, 600, 100, 20, 0);
    EXPECT_EQ(relative.x, 700);
    EXPECT_EQ(relative.y, 290);
    WatermarkOptions custom = mark;
    custom.placement = WatermarkPlacement::Custom;
    EXPECT_EQ(PlaceWatermark(custom, 800, 600, 100, 20, 0).x, 40);
    EXPECT_EQ(PlaceWatermark(custom, 120, 600, 100, 20, 0).x, 20) << "kept inside the window";
    WatermarkOptions random = mark;
    random.placement = WatermarkPlacement::Random;
    for (std::uint32_t r : {0u, 0xFFFFFFFFu, 0x12345678u}) {
        const Point p = PlaceWatermark(random, 300, 200, 100, 20, r);
        EXPECT_LE(p.x, 200);
        EXPECT_LE(p.y, 180);
        EXPECT_GE(p.x, 0);
    }

    EXPECT_TRUE(WatermarkVisibleAt(mark, 0));
    EXPECT_TRUE(WatermarkVisibleAt(mark, 3));
    EXPECT_FALSE(WatermarkVisibleAt(mark, 4));
    EXPECT_FALSE(WatermarkVisibleAt(mark, 9));
    EXPECT_TRUE(WatermarkVisibleAt(mark, 10));
    WatermarkOptions steady = mark;
    steady.periodic = false;
    EXPECT_TRUE(WatermarkVisibleAt(steady, 9));
}

TEST(PlayerPresentation, ImageWatermarkDamagedFilesAndAddresses) {
    const WatermarkOptions image =
        ParseWatermarkOptions({"2", "http://example.org", "12", "34", "50"});
    EXPECT_EQ(image.kind, WatermarkKind::Image);
    EXPECT_EQ(image.left, 12);
    EXPECT_EQ(image.top, 34);
    EXPECT_EQ(image.imageTransparency, 50u);

    EXPECT_EQ(ParseWatermarkOptions({"0"}).kind, WatermarkKind::None);
    EXPECT_EQ(ParseWatermarkOptions({"1", "web", "text"}).kind, WatermarkKind::None)
        << "a text watermark cut short";
    EXPECT_EQ(ParseWatermarkOptions({"7"}).kind, WatermarkKind::None);
    std::vector<std::string> badFont = {"1", "",    "T",    "0", "0", "60", "5",
                                        "0", "ZZZ", "nope", "0", "0", "0",  "0"};
    const WatermarkOptions fallback = ParseWatermarkOptions(badFont);
    EXPECT_EQ(fallback.kind, WatermarkKind::Text);
    EXPECT_EQ(fallback.font.face, "MS Sans Serif") << "a damaged font keeps the default font";
    EXPECT_EQ(fallback.backColour, 0x0000FFFFu);

    EXPECT_FALSE(ReadFontText(std::string(32, '0')));
    EXPECT_FALSE(ReadFontText("00808000FFFFFFF0000C00600011000GMS Sans Serif"));
    const std::optional<WatermarkFont> noName = ReadFontText("000000FFFFFFFFEC000F00600A260000X");
    ASSERT_TRUE(noName);
    EXPECT_EQ(noName->face, "MS Sans Serif") << "an empty name keeps the face";
    EXPECT_EQ(noName->height, -20);
    EXPECT_EQ(noName->charset, 0xA2u);
    EXPECT_EQ(noName->style, 6u);

    EXPECT_FALSE(WatermarkAddress("www.example.org"));
    EXPECT_FALSE(WatermarkAddress("file:///c:/windows"));
    EXPECT_FALSE(WatermarkAddress("http://"));
    EXPECT_FALSE(WatermarkAddress("http://a b"));
    EXPECT_EQ(WatermarkAddress("HTTPS://x.org"), "HTTPS://x.org");
}

}  // namespace
}  // namespace quorlix
