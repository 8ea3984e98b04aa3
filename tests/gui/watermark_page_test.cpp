// The "Watermark" page: its controls, the number fields, the font and colour dialogs, the font
// record on screen, the JPEG chooser and the page load.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <filesystem>

#include "conversion/font_text.h"
#include "options/font_mapping.h"
#include "options/watermark_page.h"
#include "platform/settings_store.h"
#include "support/page_harness.h"
#include "support/test_folder.h"
#include "widgets/qt_dialogs.h"
#include "widgets/up_down.h"

namespace quorlix::test {
namespace {

using Page = PageHarness<WatermarkPage>;

const char* const kDefaultFontText = "00808000FFFFFFF0000C00600011000DMS Sans Serif";
const char* const kImagePrompt = "Please click right button to select a image file->";

// No stored defaults, and the folder a test's own defaults file goes into.
void ForgetDefaults() {
    std::filesystem::remove(DefaultSettingsPath());
    std::filesystem::create_directories(std::filesystem::path(DefaultSettingsPath()).parent_path());
}

// A JPEG picture of the given size.
std::string WriteJpeg(const TestFolder& folder, const std::string& name, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const std::string path = folder / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), "JPG"));
    return path;
}

TEST(WatermarkPage, ShowsEveryControlWithItsInitialState) {
    Page p;
    struct Radio {
        const char* name;
        const char* text;
        bool checked;
    };
    for (const Radio& r : std::vector<Radio>{{"noWatermarkRadio", "No watermark", true},
                                             {"textWatermarkRadio", "Text string waterwark", false},
                                             {"imageWatermarkRadio", "Image watermark", false},
                                             {"customPositionRadio", "Custom position", true},
                                             {"relativePositionRadio", "Relative position", false},
                                             {"randomPositionRadio", "Random position", false}}) {
        auto& radio = p.operator()<QRadioButton>(r.name);
        EXPECT_EQ(radio.text(), r.text) << r.name;
        EXPECT_EQ(radio.isChecked(), r.checked) << r.name;
        EXPECT_TRUE(radio.isVisible()) << r.name;
    }
    for (const auto& [name, text] :
         {std::pair{"watermarkTextEdit", "Please input your watermark here!"},
          std::pair{"textLeftEdit", "0"}, std::pair{"textTopEdit", "0"},
          std::pair{"appearEveryEdit", "60"}, std::pair{"disappearAfterEdit", "5"},
          std::pair{"imageFileEdit", kImagePrompt}, std::pair{"imageLeftEdit", "0"},
          std::pair{"imageTopEdit", "0"}, std::pair{"webAddressEdit", "http://www.dorvane.com"}}) {
        EXPECT_EQ(p.operator()<QLineEdit>(name).text(), text) << name;
    }
    EXPECT_TRUE(p.operator()<QLineEdit>("imageFileEdit").isReadOnly());
    for (const auto& [name, maximum] :
         {std::pair{"textLeftUpDown", 10000}, std::pair{"textTopUpDown", 10000},
          std::pair{"imageLeftUpDown", 32767}, std::pair{"imageTopUpDown", 32767}}) {
        EXPECT_EQ(p.operator()<UpDownControl>(name).minimum(), 0) << name;
        EXPECT_EQ(p.operator()<UpDownControl>(name).maximum(), maximum) << name;
    }
    for (const auto& [name, text] :
         {std::pair{"selectFontButton", "Select Font"}, std::pair{"fontColourButton", "Font color"},
          std::pair{"backgroundColourButton", "Background color"},
          std::pair{"watermarkSaveDefaultsButton", "Save as default"},
          std::pair{"watermarkLoadDefaultsButton", "Load from default"},
          std::pair{"watermarkCloseButton", "Close"}}) {
        EXPECT_EQ(p.operator()<QPushButton>(name).text(), text) << name;
    }
    auto& transparent = p.operator()<QCheckBox>("transparentBackgroundCheckBox");
    EXPECT_EQ(transparent.text(), "Background transparent");
    EXPECT_TRUE(transparent.isHidden());
    EXPECT_EQ(p.operator()<QCheckBox>("appearEveryCheckBox").text(), "Watermark will appear every");
    EXPECT_FALSE(p.operator()<QCheckBox>("appearEveryCheckBox").isChecked());
    EXPECT_TRUE(p.operator()<QSlider>("imageTransparencySlider").isHidden());
    EXPECT_TRUE(p.operator()<QLabel>("imageTransparencyValueLabel").isHidden());
    EXPECT_TRUE(p.operator()<QLabel>("imageTransparencyLabel").isHidden());
    EXPECT_EQ(p.operator()<QLabel>("imageTransparencyLabel").text(), "Image transparent:");
    EXPECT_EQ(p.operator()<QLabel>("imageTransparencyValueLabel").text(), "0%");
    EXPECT_EQ(p.operator()<QLabel>("imageWidthLabel").text(), "Width: 0");
    EXPECT_EQ(p.operator()<QLabel>("imageHeightLabel").text(), "Height:  0");
    EXPECT_EQ(p.operator()<QComboBox>("horizontalComboBox").currentText(), "Left");
    EXPECT_EQ(p.operator()<QComboBox>("verticalComboBox").currentText(), "Top");
    EXPECT_EQ(p.operator()<QComboBox>("verticalComboBox").itemText(2), "Bottom");
    EXPECT_EQ(p.operator()<QGroupBox>("textGroup").x(), p.operator()<QGroupBox>("imageGroup").x());

    const OptionSet initial;
    const OptionSet o = p.Options();
    EXPECT_EQ(FontToText(o.waterfont), kDefaultFontText);
    EXPECT_EQ(ColourToText(o.watercolor), "0000FFFF") << "yellow";
    EXPECT_EQ(o.watertype, 0);
    EXPECT_EQ(o.waterimagefile, kImagePrompt) << "the prompt is a path with no file";
    auto& text = p.operator()<QLineEdit>("watermarkTextEdit");
    EXPECT_EQ(text.palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(text.palette().color(QPalette::Text), QColor(0, 128, 128));
    EXPECT_EQ(text.font().family(), "MS Sans Serif");
    EXPECT_TRUE(text.font().bold());
    EXPECT_EQ(text.font().pixelSize(), 16);
}

TEST(WatermarkPage, NumberFieldsEndAsTheirExitStepsSay) {
    Page p;
    auto& left = p.operator()<QLineEdit>("textLeftEdit");
    EXPECT_EQ(TypeAndLeave(left, "20000"), "10000");
    EXPECT_EQ(TypeAndLeave(left, ""), "0");
    EXPECT_EQ(TypeAndLeave(p.operator()<QLineEdit>("textTopEdit"), "0x12"), "12");
    auto& every = p.operator()<QLineEdit>("appearEveryEdit");
    EXPECT_EQ(TypeAndLeave(every, "007"), "7");
    EXPECT_EQ(TypeAndLeave(every, ""), "60");
    EXPECT_EQ(TypeAndLeave(p.operator()<QLineEdit>("disappearAfterEdit"), ""), "5");
    auto& imageLeft = p.operator()<QLineEdit>("imageLeftEdit");
    EXPECT_EQ(TypeAndLeave(imageLeft, "99999"), "99999") << "no exit step";
    EXPECT_EQ(TypeAndLeave(p.operator()<QLineEdit>("imageTopEdit"), "1a2"), "12");
    p.operator()<UpDownControl>("imageLeftUpDown").upArrow()->click();
    EXPECT_EQ(imageLeft.text(), "32767") << "the arrows step within their range";
}

TEST(WatermarkPage, TransparencySliderShowsItsPercent) {
    Page p;
    p.operator()<QSlider>("imageTransparencySlider").setValue(40);
    EXPECT_EQ(p.operator()<QLabel>("imageTransparencyValueLabel").text(), "40%");
    EXPECT_EQ(p.Options().waterimagetrans, 40);
}

TEST(WatermarkPage, FontRecordMapsToTheScreenFontAndBack) {
    FontSpec read;
    TextToFont(kDefaultFontText, read);
    EXPECT_EQ(read, DefaultWaterFont());
    const QFont screen = ScreenFont(read);
    EXPECT_EQ(FontRecordOf(screen, 96, read), read);
    EXPECT_EQ(ScreenFont(FontRecordOf(screen, 96, read)), screen);
    Page p;
    const QFont shown = p.operator()<QLineEdit>("watermarkTextEdit").font();
    EXPECT_EQ(shown.family(), screen.family());
    EXPECT_EQ(shown.pixelSize(), screen.pixelSize());
    EXPECT_EQ(shown.bold(), screen.bold());

    // Pitch, character set and a foreign pixels-per-inch survive a screen font of the same size.
    FontSpec fixed = read;
    fixed.pitch = 2;
    fixed.charset = 0xCC;
    fixed.pixelsPerInch = 120;
    fixed.style = FontSpec::kItalic | FontSpec::kUnderline | FontSpec::kStrikeOut;
    EXPECT_TRUE(ScreenFont(fixed).fixedPitch());
    EXPECT_EQ(FontRecordOf(ScreenFont(fixed), 96, fixed), fixed);

    QFont larger = screen;
    larger.setPointSize(20);
    const FontSpec resized = FontRecordOf(larger, 96, fixed);
    EXPECT_EQ(resized.size, 20);
    EXPECT_EQ(resized.height, -27);
    EXPECT_EQ(resized.pixelsPerInch, 96);
    EXPECT_EQ(resized.pitch, 2);
    EXPECT_EQ(resized.charset, 0xCC);
    EXPECT_EQ(resized.style, FontSpec::kBold);

    EXPECT_EQ(ColourValue(QColor(255, 255, 0)), 0x0000FFFFu);
    EXPECT_EQ(ScreenColour(0x00808000), QColor(0, 128, 128));
}

TEST(WatermarkPage, FontDialogOpensWithItsOwnLastChoice) {
    Page p;
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(20);
    chosen.setItalic(true);
    p.dialogs.fonts.push_back(chosen);
    p.dialogs.fonts.push_back(std::nullopt);
    auto& select = p.operator()<QPushButton>("selectFontButton");
    select.click();
    select.click();
    ASSERT_EQ(p.dialogs.fontInitials.size(), 2);
    EXPECT_NE(p.dialogs.fontInitials[0].family(), "MS Sans Serif")
        << "not watermarkTextEdit's font";
    EXPECT_EQ(p.dialogs.fontInitials[1], chosen);
    const int dpi = p.operator()<QLineEdit>("watermarkTextEdit").logicalDpiY();
    const FontSpec font = p.Options().waterfont;
    EXPECT_EQ(font.name, "DejaVu Serif");
    EXPECT_EQ(font.size, 20);
    EXPECT_EQ(font.height, -((20 * dpi + 36) / 72));
    EXPECT_EQ(font.pixelsPerInch, dpi);
    EXPECT_EQ(font.style, FontSpec::kItalic);
    EXPECT_EQ(font.color, 0x00808000u) << "the colour has its own button";
    EXPECT_EQ(font.charset, 1);
    EXPECT_EQ(p.operator()<QLineEdit>("watermarkTextEdit").font().family(), "DejaVu Serif");
}

TEST(WatermarkPage, ALargeFontIsShownWholeAndKeptAtItsSize) {
    Page p;
    auto& sample = p.operator()<QLineEdit>("watermarkTextEdit");
    const QFont before = sample.font();
    EXPECT_EQ(QFontInfo(before).pixelSize(), 16) << "the initial font fits as it is";
    p.dialogs.colours.push_back(QColor(200, 10, 10));
    p.operator()<QPushButton>("fontColourButton").click();
    QFont large(QStringLiteral("DejaVu Serif"));
    large.setPointSize(200);
    large.setBold(true);
    large.setItalic(true);
    p.dialogs.fonts.push_back(large);
    p.operator()<QPushButton>("selectFontButton").click();

    const QFont shown = sample.font();
    EXPECT_EQ(shown.family(), "DejaVu Serif");
    EXPECT_TRUE(shown.bold());
    EXPECT_TRUE(shown.italic());
    const int inside = sample.height() - 2 * sample.style()->pixelMetric(
                                                 QStyle::PM_DefaultFrameWidth, nullptr, &sample);
    EXPECT_LE(QFontMetrics(shown).height(), inside) << "whole glyphs in the box";
    EXPECT_GE(QFontMetrics(shown).height(), inside - 4) << "and as large as it fits";
    EXPECT_EQ(sample.palette().color(QPalette::Text), QColor(200, 10, 10));
    EXPECT_EQ(sample.palette().color(QPalette::Base), QColor(255, 255, 0));

    const FontSpec kept = p.Options().waterfont;
    EXPECT_EQ(kept.size, 200) << "the size stored and converted stays";
    EXPECT_EQ(kept.height, -((200 * sample.logicalDpiY() + 36) / 72));
    EXPECT_EQ(kept.style, FontSpec::kBold | FontSpec::kItalic);
    EXPECT_EQ(kept.color, 0x000A0AC8u);
}

TEST(WatermarkPage, TheImageDialogShowsItsFilterOnce) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    PrepareOpenDialog(
        dialog,
        {QString(), QStringLiteral("JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg"), QString()},
        QFileDialog::ExistingFile);
    auto& types = Child<QComboBox>(&dialog, "fileTypeCombo");
    ASSERT_EQ(types.count(), 1);
    EXPECT_EQ(types.itemText(0), "JPEG Image File (*.jpg;*.jpeg)");
    EXPECT_EQ(dialog.nameFilters(), QStringList({"JPEG Image File (*.jpg;*.jpeg) (*.jpg *.jpeg)"}))
        << "the patterns Qt reads stay at the end";

    PrepareOpenDialog(dialog, {QString(), QStringLiteral("MS Word Files|*.doc;*.docx"), QString()},
                      QFileDialog::ExistingFiles);
    EXPECT_EQ(types.itemText(0), "MS Word Files") << "a name as the dialog on Windows shows it";
}

TEST(WatermarkPage, ColourDialogsOpenOnTheCurrentColours) {
    Page p;
    p.dialogs.colours.push_back(QColor(255, 0, 0));
    p.dialogs.colours.push_back(QColor(0, 0, 255));
    p.dialogs.colours.push_back(std::nullopt);
    p.operator()<QPushButton>("fontColourButton").click();
    p.operator()<QPushButton>("backgroundColourButton").click();
    p.operator()<QPushButton>("backgroundColourButton").click();
    EXPECT_EQ(p.dialogs.colourInitials,
              QList<QColor>({QColor(0, 128, 128), QColor(255, 255, 0), QColor(0, 0, 255)}));
    const OptionSet o = p.Options();
    EXPECT_EQ(o.waterfont.color, 0x000000FFu);
    EXPECT_EQ(ColourToText(o.watercolor), "00FF0000");
    auto& text = p.operator()<QLineEdit>("watermarkTextEdit");
    EXPECT_EQ(text.palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(text.palette().color(QPalette::Base), QColor(0, 0, 255));
}

TEST(WatermarkPage, ChoosesAJpegAndShowsItsSize) {
    ForgetDefaults();
    TestFolder folder;
    const std::string jpeg = WriteJpeg(folder, "mark.jpg", 37, 21);
    const std::string other = folder / "mark.png";
    WriteFile(other, "\x89PNG\r\n\x1a\n not really");
    Page p;
    p.dialogs.files.push_back(QString::fromStdString(jpeg));
    p.operator()<QToolButton>("imageFileButton").click();
    ASSERT_EQ(p.dialogs.fileRequests.size(), 1);
    EXPECT_EQ(p.dialogs.fileRequests[0].filter, "JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg");
    EXPECT_EQ(p.operator()<QLabel>("imageWidthLabel").text(), "Width: 37");
    EXPECT_EQ(p.operator()<QLabel>("imageHeightLabel").text(), "Height: 21");
    EXPECT_EQ(p.operator()<QLineEdit>("imageFileEdit").text(), QString::fromStdString(jpeg));

    p.dialogs.files.push_back(QString::fromStdString(other));
    p.operator()<QToolButton>("imageFileButton").click();
    EXPECT_EQ(p.dialogs.messages, QStringList({"Error Image file format!"}));
    EXPECT_EQ(p.operator()<QLineEdit>("imageFileEdit").text(), QString::fromStdString(other));
    EXPECT_EQ(p.operator()<QLabel>("imageWidthLabel").text(), "Width: 37") << "labels as they were";

    p.operator()<QToolButton>("imageFileButton").click();  // cancelled
    EXPECT_EQ(p.operator()<QLineEdit>("imageFileEdit").text(), QString::fromStdString(other));

    p.operator()<QPushButton>("watermarkLoadDefaultsButton").click();
    EXPECT_EQ(p.operator()<QLineEdit>("imageFileEdit").text(), kImagePrompt);
    EXPECT_EQ(p.operator()<QLabel>("imageWidthLabel").text(), "Width: 0");
    EXPECT_EQ(p.operator()<QLabel>("imageHeightLabel").text(), "Height: 0");
    EXPECT_EQ(p.dialogs.messages.size(), 1) << "no message at the page load";
}

TEST(WatermarkPage, SavesAndLoadsItsDefaultsWithThePicture) {
    ForgetDefaults();
    TestFolder folder;
    const std::string jpeg = WriteJpeg(folder, "stored.jpeg", 64, 48);
    Page p;
    p.operator()<QRadioButton>("imageWatermarkRadio").setChecked(true);
    p.dialogs.files.push_back(QString::fromStdString(jpeg));
    p.operator()<QToolButton>("imageFileButton").click();
    p.operator()<QLineEdit>("appearEveryEdit").setText("45");
    p.operator()<QCheckBox>("transparentBackgroundCheckBox").setChecked(true);
    p.dialogs.colours.push_back(QColor(1, 2, 3));
    p.operator()<QPushButton>("backgroundColourButton").click();
    p.operator()<QPushButton>("watermarkSaveDefaultsButton").click();
    const std::string stored = ReadFile(DefaultSettingsPath());
    const std::vector<std::string> lines{
        "\"watertype\"=\"2\"",         "\"waterstringtrans\"=\"1\"",
        "\"waterhasdis\"=\"2\"",       "\"waterappear\"=\"45\"",
        "\"watercolor\"=\"00030201\"", std::string("\"waterfont\"=\"") + kDefaultFontText + "\""};
    for (const std::string& line : lines) {
        EXPECT_NE(stored.find(line + "\r\n"), std::string::npos) << line;
    }

    Page q;
    q.page->LoadFromDefaults();
    EXPECT_TRUE(q.operator()<QRadioButton>("imageWatermarkRadio").isChecked());
    EXPECT_EQ(q.operator()<QLineEdit>("imageFileEdit").text(), QString::fromStdString(jpeg));
    EXPECT_EQ(q.operator()<QLabel>("imageWidthLabel").text(), "Width: 64");
    EXPECT_EQ(q.operator()<QLabel>("imageHeightLabel").text(), "Height: 48");
    EXPECT_EQ(q.operator()<QLineEdit>("appearEveryEdit").text(), "45");
    EXPECT_EQ(q.Options().watercolor, 0x00030201u);
    EXPECT_EQ(q.operator()<QLineEdit>("watermarkTextEdit").palette().color(QPalette::Base),
              QColor(1, 2, 3));
    EXPECT_FALSE(q.page->ImageWatermarkFileMissing());

    std::filesystem::remove(jpeg);
    EXPECT_TRUE(q.page->ImageWatermarkFileMissing());
    q.operator()<QPushButton>("watermarkLoadDefaultsButton").click();
    EXPECT_EQ(q.operator()<QLineEdit>("imageFileEdit").text(), kImagePrompt);
}

TEST(WatermarkPage, StoredFontTextThatDoesNotDecodeKeepsTheFont) {
    ForgetDefaults();
    SettingsStore store;
    store.WriteStrings({{"waterfont", "0000FF00FFFFFFF0000C006000"},
                        {"watercolor", "zz"},
                        {"watertext", "Stored"}});
    Page p;
    p.operator()<QPushButton>("watermarkLoadDefaultsButton").click();
    EXPECT_TRUE(p.dialogs.errors.isEmpty());
    EXPECT_EQ(p.operator()<QLineEdit>("watermarkTextEdit").text(), "Stored");
    EXPECT_EQ(FontToText(p.Options().waterfont), kDefaultFontText);
    EXPECT_EQ(p.Options().watercolor, 0x0000FFFFu);
}

}  // namespace
}  // namespace quorlix::test
