// The Logo setup page: its controls, the icon and its split into the preview folder, the two
// images with their thumbnails and transparency boxes, the number edits, the page load and the
// defaults buttons, the previews it opens and a conversion carrying its icon and images.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "conversion/page_defaults.h"
#include "options/image_preview_window.h"
#include "options/logo_page.h"
#include "platform/settings_store.h"
#include "support/cli_output.h"
#include "support/pe_inspect.h"
#include "support/picture_files.h"
#include "support/scoped_environment.h"
#include "support/test_folder.h"
#include "support/window_harness.h"
#include "widgets/picture_box.h"
#include "widgets/up_down.h"

namespace quorlix::test {
namespace {

namespace fs = std::filesystem;

const QString kIconPromptText = QStringLiteral("Please click right button to select a icon file->");
const QString kImagePromptText =
    QStringLiteral("Please click right button to select an image file->");
const QString kIncorrect = QStringLiteral("Image file is incorrect,please select another one!");

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A Logo setup page on its own, with its per-run folders, the program's icon and scripted
// dialogs; nothing loaded.
struct PageFixture {
    ScriptedDialogs dialogs;
    TestFolder folder;
    ScopedEnvironment config{"XDG_CONFIG_HOME", folder / "config"};
    std::vector<FontListEntry> fonts;
    std::unique_ptr<PageContext> context;
    std::unique_ptr<LogoPage> page;

    PageFixture() {
        fs::create_directories(folder / "default");
        fs::create_directories(folder / "preview");
        fs::copy_file(QUORLIX_DEFAULT_ICON_PATH, folder / "default/myico.ico");
        context = std::make_unique<PageContext>(
            PageContext{dialogs, folder / "default/myico.ico", folder / "preview", fonts});
        page = std::make_unique<LogoPage>(*context);
        page->SetPreviewTimersByHand(true);
    }
    template <typename T>
    T& operator()(const char* name) const {
        return Child<T>(page.get(), name);
    }
    std::string Preview(int n) const { return folder / ("preview/" + std::to_string(n) + "i.ico"); }
    // Chooses a picture file through a choose button.
    void Choose(const char* button, const std::string& path) {
        dialogs.files.push_back(Q(path));
        operator()<QAbstractButton>(button).click();
    }
    std::string Picture(const std::string& name, const QImage& image, const char* format) {
        SaveImage(image, folder / name, format);
        return folder / name;
    }
};

QStringList LabelTexts(const QWidget& root) {
    QStringList texts;
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

TEST(LogoPage, HasEveryControlWithItsCaptionAndInitialState) {
    PageFixture f;
    struct Caption {
        const char* name;
        const char* text;
    };
    for (const Caption& c :
         std::vector<Caption>{{"changeIconCheckBox", "Assign output file Icon:"},
                              {"defaultIconButton", "Default icon"},
                              {"showFirstImageCheckBox", "Display image before playing Word: "},
                              {"firstImageFadeInCheckBox", "Transparent appear"},
                              {"firstImageFadeOutCheckBox", "Transparent disappear"},
                              {"firstImageAutoCloseRadio", "Auto close after"},
                              {"firstImageClickCloseRadio", "Not close until mouse click"},
                              {"firstImagePreviewButton", "Preview"},
                              {"showSecondImageCheckBox", "Display image after playing Word: "},
                              {"secondImageFadeInCheckBox", "Transparent appear"},
                              {"secondImageFadeOutCheckBox", "Transparent disappear"},
                              {"secondImageAutoCloseRadio", "Auto close after"},
                              {"secondImageClickCloseRadio", "Not close until mouse click"},
                              {"secondImagePreviewButton", "Preview"},
                              {"logoSaveDefaultsButton", "Save as default"},
                              {"logoLoadDefaultsButton", "Load from default"},
                              {"logoCloseButton", "Close"}}) {
        EXPECT_EQ(f.operator()<QAbstractButton>(c.name).text(), QString::fromUtf8(c.text))
            << c.name;
    }
    for (const char* box :
         {"changeIconCheckBox", "showFirstImageCheckBox", "showSecondImageCheckBox",
          "firstImageFadeInCheckBox", "firstImageFadeOutCheckBox", "secondImageFadeInCheckBox",
          "secondImageFadeOutCheckBox", "firstImageClickCloseRadio",
          "secondImageClickCloseRadio"}) {
        EXPECT_FALSE(f.operator()<QAbstractButton>(box).isChecked()) << box;
    }
    EXPECT_TRUE(f.operator()<QRadioButton>("firstImageAutoCloseRadio").isChecked());
    EXPECT_TRUE(f.operator()<QRadioButton>("secondImageAutoCloseRadio").isChecked());
    for (const char* panel : {"iconPanel", "firstImagePanel", "secondImagePanel"}) {
        EXPECT_TRUE(f.operator()<QFrame>(panel).isHidden()) << panel;
    }
    EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), kIconPromptText);
    EXPECT_EQ(f.operator()<QLineEdit>("firstImageEdit").text(), kImagePromptText);
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageEdit").text(), kImagePromptText);
    for (const char* edit : {"iconFileEdit", "firstImageEdit", "secondImageEdit"}) {
        EXPECT_TRUE(f.operator()<QLineEdit>(edit).isReadOnly()) << edit;
    }
    for (const char* pair : {"firstImageSecondsEdit", "secondImageSecondsEdit"}) {
        EXPECT_EQ(f.operator()<QLineEdit>(pair).text(), "3");
    }
    for (const char* arrows : {"firstImageSecondsUpDown", "secondImageSecondsUpDown"}) {
        const auto& upDown = f.operator()<UpDownControl>(arrows);
        EXPECT_EQ(upDown.minimum(), 1);
        EXPECT_EQ(upDown.maximum(), 32767);
        EXPECT_EQ(upDown.position(), 3);
    }
    for (const char* image : {"firstImageThumbnail", "secondImageThumbnail"}) {
        EXPECT_EQ(f.operator()<PictureBox>(image).size(), QSize(117, 76));
        EXPECT_TRUE(f.operator()<PictureBox>(image).isHidden());
    }
    f.operator()<QToolButton>("iconFileButton");
    f.operator()<QToolButton>("firstImageButton");
    f.operator()<QToolButton>("secondImageButton");
    EXPECT_EQ(f.operator()<QComboBox>("iconImageList").count(), 0);

    const QStringList texts = LabelTexts(*f.page);
    for (const char* text :
         {"One ico file may contain one or multiple images with different sizes and color",
          "depths, in order to meet different Windows platform needs.",
          "Typically, you can make 48\u00d748, 8-bit color;32\u00d732, 8-bit color;16\u00d716, "
          "4-bit color",
          "images in one ico file.",
          "You can choose an image that will display before playing the Excel.",
          "You can choose an image that will display after playing the Excel.", "Sec."}) {
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    }
    EXPECT_EQ(texts.count("such as Copyright information or other things"), 2);
}

TEST(LogoPage, CheckBoxesShowTheirPanels) {
    PageFixture f;
    f.page->show();
    const std::pair<const char*, const char*> pairs[] = {
        {"changeIconCheckBox", "iconPanel"},
        {"showFirstImageCheckBox", "firstImagePanel"},
        {"showSecondImageCheckBox", "secondImagePanel"}};
    for (const auto& [box, panel] : pairs) {
        QTest::mouseClick(&f.operator()<QCheckBox>(box), Qt::LeftButton);
        EXPECT_TRUE(f.operator()<QFrame>(panel).isVisible()) << panel;
        QTest::mouseClick(&f.operator()<QCheckBox>(box), Qt::LeftButton);
        EXPECT_FALSE(f.operator()<QFrame>(panel).isVisible()) << panel;
    }
}

// The colour that DrawIconImage leaves at a point of an item of 64 x 64.
QRgb DrawnPixel(const LogoPage& page, int index, QPoint at) {
    QImage canvas(64, 64, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    page.DrawIconImage(painter, index, QRect(0, 0, 64, 64), false);
    painter.end();
    return canvas.pixel(at);
}

TEST(LogoPage, SplitsAThreeImageIconIntoThePreviewFolderAndListsIt) {
    PageFixture f;
    const std::string icon =
        IconFileBytes({{16, qRgb(255, 0, 0)}, {24, qRgb(0, 255, 0)}, {32, qRgb(0, 0, 255)}});
    WriteFile(f.folder / "three.ico", icon);
    WriteFile(f.Preview(3), "left from an earlier icon");

    f.Choose("iconFileButton", f.folder / "three.ico");
    ASSERT_EQ(f.dialogs.fileRequests.size(), 1);
    EXPECT_EQ(f.dialogs.fileRequests[0].filter, "Icons (*.ico)|*.ico;*.ICO");
    EXPECT_EQ(f.dialogs.fileRequests[0].defaultSuffix, "ico");
    EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), Q(f.folder / "three.ico"));
    auto& list = f.operator()<QComboBox>("iconImageList");
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(list.itemText(0), " ");
    EXPECT_EQ(list.view()->sizeHintForRow(0), 64) << "fixed item height";

    std::size_t offset = 6 + 3 * 16;
    for (int n = 0; n < 3; ++n) {
        const std::string single = ReadFile(f.Preview(n));
        const std::uint32_t size = Le32(icon, 6 + 16 * n + 8);
        ASSERT_EQ(single.size(), 22u + size) << n;
        EXPECT_EQ(single.substr(0, 4), icon.substr(0, 4));
        EXPECT_EQ(Le16(single, 4), 1);
        EXPECT_EQ(single.substr(6, 12), icon.substr(6 + 16 * n, 12)) << "entry unchanged";
        EXPECT_EQ(Le32(single, 18), 22u);
        EXPECT_EQ(single.substr(22), icon.substr(offset, size));
        offset += size;
    }
    EXPECT_EQ(ReadFile(f.Preview(3)), "left from an earlier icon");

    // Each item draws its own image unscaled at the item's top-left corner.
    EXPECT_EQ(DrawnPixel(*f.page, 0, {15, 15}), qRgb(255, 0, 0));
    EXPECT_NE(DrawnPixel(*f.page, 0, {16, 16}), qRgb(255, 0, 0));
    EXPECT_EQ(DrawnPixel(*f.page, 1, {23, 0}), qRgb(0, 255, 0));
    EXPECT_EQ(DrawnPixel(*f.page, 2, {31, 31}), qRgb(0, 0, 255));
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(LogoPage, AnIconThatCannotBeSplitEmptiesTheListWithoutAMessage) {
    PageFixture f;
    const std::string icon = IconFileBytes({{16, qRgb(1, 2, 3)}, {32, qRgb(4, 5, 6)}});
    WriteFile(f.folder / "good.ico", icon);
    WriteFile(f.folder / "short.ico", icon.substr(0, icon.size() - 10));
    // Two entries naming the whole file: more image bytes than the file holds.
    std::string overlapping = icon;
    PutLe32(overlapping, 6 + 8, static_cast<std::uint32_t>(icon.size() - 6 - 32));
    PutLe32(overlapping, 6 + 12, 6 + 32);
    PutLe32(overlapping, 6 + 16 + 8, static_cast<std::uint32_t>(icon.size() - 6 - 32));
    PutLe32(overlapping, 6 + 16 + 12, 6 + 32);
    WriteFile(f.folder / "overlapping.ico", overlapping);

    for (const char* bad : {"short.ico", "overlapping.ico", "missing.ico"}) {
        f.Choose("iconFileButton", f.folder / "good.ico");
        ASSERT_EQ(f.operator()<QComboBox>("iconImageList").count(), 2);
        f.Choose("iconFileButton", f.folder / bad);
        EXPECT_EQ(f.operator()<QComboBox>("iconImageList").count(), 0) << bad;
        EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), kIconPromptText) << bad;
    }
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    EXPECT_TRUE(f.dialogs.errors.isEmpty());

    // A cancelled dialog changes nothing.
    f.Choose("iconFileButton", f.folder / "good.ico");
    f.operator()<QAbstractButton>("iconFileButton").click();
    EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), Q(f.folder / "good.ico"));
    EXPECT_EQ(f.operator()<QComboBox>("iconImageList").count(), 2);
}

TEST(LogoPage, DefaultIconGivesItsThreeImagesAndLeavesThePrompt) {
    PageFixture f;
    WriteFile(f.folder / "one.ico", IconFileBytes({{16, qRgb(9, 9, 9)}}));
    f.Choose("iconFileButton", f.folder / "one.ico");
    ASSERT_EQ(f.operator()<QComboBox>("iconImageList").count(), 1);

    f.operator()<QPushButton>("defaultIconButton").click();
    auto& list = f.operator()<QComboBox>("iconImageList");
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), kIconPromptText);
    const std::string icon = ReadFile(QUORLIX_DEFAULT_ICON_PATH);
    for (int n = 0; n < 3; ++n) {
        const std::string single = ReadFile(f.Preview(n));
        const std::uint32_t size = Le32(icon, 6 + 16 * n + 8);
        ASSERT_EQ(single.size(), 22u + size);
        EXPECT_EQ(single.substr(22), icon.substr(Le32(icon, 6 + 16 * n + 12), size));
        EXPECT_EQ(static_cast<unsigned char>(single[6]),
                  static_cast<unsigned char>(icon[6 + 16 * n]));
    }
    OptionSet options;
    f.page->FillOptions(options);
    EXPECT_EQ(options.iconfilename, kIconPromptText.toStdString());
}

TEST(LogoPage, DoubleClicksOpenTheDialogsOfTheIconAndTheFirstImageOnly) {
    PageFixture f;
    f.page->show();
    QTest::mouseDClick(&f.operator()<QLineEdit>("iconFileEdit"), Qt::LeftButton);
    ASSERT_EQ(f.dialogs.fileRequests.size(), 1);
    EXPECT_EQ(f.dialogs.fileRequests[0].filter, "Icons (*.ico)|*.ico;*.ICO");
    f.operator()<QCheckBox>("showFirstImageCheckBox").setChecked(true);
    f.operator()<QCheckBox>("showSecondImageCheckBox").setChecked(true);
    QTest::mouseDClick(&f.operator()<QLineEdit>("firstImageEdit"), Qt::LeftButton);
    ASSERT_EQ(f.dialogs.fileRequests.size(), 2);
    const QString filter = f.dialogs.fileRequests[1].filter;
    for (const char* pattern :
         {"*.bmp", "*.ico", "*.wmf", "*.emf", "*.jpg", "*.jpeg", "*.gif", "*.png"}) {
        EXPECT_TRUE(filter.contains(QString::fromLatin1(pattern))) << pattern;
    }
    QTest::mouseDClick(&f.operator()<QLineEdit>("secondImageEdit"), Qt::LeftButton);
    EXPECT_EQ(f.dialogs.fileRequests.size(), 2) << "secondImageEdit has no shortcut";
}

TEST(LogoPage, PicturesWithTheirOwnTransparencyDisableTheTransparencyBoxes) {
    PageFixture f;
    const QImage image = SolidImage(20, 10, QColor(30, 60, 90));
    const std::string png = f.Picture("a.png", image, "PNG");
    const std::string bmp = f.Picture("b.bmp", image, "BMP");
    const std::string jpg = f.Picture("c.jpg", image, "JPEG");
    WriteFile(f.folder / "d.gif",
              GifBytes(2, 2, {qRgb(0, 0, 0), qRgb(255, 255, 255)}, {0, 1, 1, 0}, -1));
    WriteFile(f.folder / "e.wmf", WmfBytes(30, 20));
    WriteFile(f.folder / "f.emf", EmfBytes(30, 20));

    struct Panel {
        const char* choose;
        const char* appear;
        const char* disappear;
        const char* thumbnail;
    };
    for (const Panel& p : {Panel{"firstImageButton", "firstImageFadeInCheckBox",
                                 "firstImageFadeOutCheckBox", "firstImageThumbnail"},
                           Panel{"secondImageButton", "secondImageFadeInCheckBox",
                                 "secondImageFadeOutCheckBox", "secondImageThumbnail"}}) {
        auto& appear = f.operator()<QCheckBox>(p.appear);
        auto& disappear = f.operator()<QCheckBox>(p.disappear);
        for (const std::string& own :
             {png, f.folder / "d.gif", f.folder / "e.wmf", f.folder / "f.emf"}) {
            appear.setChecked(true);
            disappear.setChecked(true);
            f.Choose(p.choose, own);
            EXPECT_FALSE(f.operator()<PictureBox>(p.thumbnail).isHidden()) << own;
            EXPECT_FALSE(appear.isChecked()) << own;
            EXPECT_FALSE(disappear.isChecked()) << own;
            EXPECT_FALSE(appear.isEnabled()) << own;
            EXPECT_FALSE(disappear.isEnabled()) << own;
            for (const std::string& plain : {bmp, jpg}) {
                f.Choose(p.choose, plain);
                EXPECT_TRUE(appear.isEnabled()) << plain;
                EXPECT_TRUE(disappear.isEnabled()) << plain;
                EXPECT_FALSE(appear.isChecked()) << plain;
                EXPECT_FALSE(disappear.isChecked()) << plain;
                f.Choose(p.choose, own);
            }
        }
    }
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(LogoPage, ThumbnailsShrinkProportionallyAndSmallPicturesKeepTheirSize) {
    PageFixture f;
    f.Choose("firstImageButton", f.Picture("wide.png", SolidImage(468, 76, Qt::red), "PNG"));
    const auto& first = f.operator()<PictureBox>("firstImageThumbnail");
    EXPECT_EQ(first.PictureRect(), QRect(0, 0, 117, 19));
    // Only what is shown is kept: the picture decoded at the thumbnail's size.
    EXPECT_EQ(first.picture().size(), QSize(117, 19));
    EXPECT_EQ(first.picture().pixelColor(60, 10), QColor(Qt::red));
    f.Choose("secondImageButton", f.Picture("small.bmp", SolidImage(40, 30, Qt::blue), "BMP"));
    const auto& second = f.operator()<PictureBox>("secondImageThumbnail");
    EXPECT_EQ(second.PictureRect(), QRect(0, 0, 40, 30));
    EXPECT_EQ(second.picture().pixel(0, 0), QColor(Qt::blue).rgb());
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageEdit").text(), Q(f.folder / "small.bmp"));
}

TEST(LogoPage, AFailedFirstImageSaysSoAndTheSecondFailsSilently) {
    PageFixture f;
    const std::string good = f.Picture("good.png", SolidImage(8, 8, Qt::green), "PNG");
    WriteFile(f.folder / "bad.png", "\x89PNG\r\n\x1a\n but not really");
    f.Choose("firstImageButton", good);
    f.Choose("secondImageButton", good);
    ASSERT_FALSE(f.operator()<PictureBox>("firstImageThumbnail").isHidden());

    f.dialogs.onMessage = [&](const QString&) {
        EXPECT_EQ(f.operator()<QLineEdit>("firstImageEdit").text(), Q(f.folder / "bad.png"))
            << "the message comes before the reset";
    };
    f.Choose("firstImageButton", f.folder / "bad.png");
    EXPECT_EQ(f.dialogs.messages, QStringList({kIncorrect}));
    EXPECT_TRUE(f.operator()<PictureBox>("firstImageThumbnail").isHidden());
    EXPECT_EQ(f.operator()<QLineEdit>("firstImageEdit").text(), kImagePromptText);
    EXPECT_TRUE(f.operator()<QCheckBox>("firstImageFadeInCheckBox").isEnabled())
        << "the prompt has no extension";

    f.Choose("secondImageButton", f.folder / "bad.png");
    EXPECT_EQ(f.dialogs.messages.size(), 1) << "no message for the second image";
    EXPECT_TRUE(f.operator()<PictureBox>("secondImageThumbnail").isHidden());
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageEdit").text(), kImagePromptText);
}

TEST(LogoPage, SecondsEditsTakeDigitsOnlyAndGetThreeWhenLeftEmpty) {
    PageFixture f;
    f.operator()<QCheckBox>("showFirstImageCheckBox").setChecked(true);
    f.operator()<QCheckBox>("showSecondImageCheckBox").setChecked(true);
    f.page->show();
    for (const char* name : {"firstImageSecondsEdit", "secondImageSecondsEdit"}) {
        auto& edit = f.operator()<QLineEdit>(name);
        edit.setFocus();
        edit.selectAll();
        QTest::keyClicks(&edit, "1a2 -3.");
        EXPECT_EQ(edit.text(), "123") << name;
        QTest::keyClick(&edit, Qt::Key_Backspace);
        EXPECT_EQ(edit.text(), "12") << name;
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_Return);
        EXPECT_EQ(edit.text(), "12") << name;
        edit.setText(QString());
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(&edit, &leave);
        EXPECT_EQ(edit.text(), "3") << name;
        edit.setText(QStringLiteral("0"));
        QApplication::sendEvent(&edit, &leave);
        EXPECT_EQ(edit.text(), "0") << "any other text stays as typed";
    }
    auto& edit = f.operator()<QLineEdit>("firstImageSecondsEdit");
    auto& arrows = f.operator()<UpDownControl>("firstImageSecondsUpDown");
    edit.setText(QStringLiteral("41"));
    QTest::mouseClick(arrows.upArrow(), Qt::LeftButton);
    EXPECT_EQ(edit.text(), "42");
    edit.setText(QStringLiteral("32767"));
    QTest::mouseClick(arrows.upArrow(), Qt::LeftButton);
    EXPECT_EQ(edit.text(), "32767");
    edit.setText(QStringLiteral("1"));
    QTest::mouseClick(arrows.downArrow(), Qt::LeftButton);
    EXPECT_EQ(edit.text(), "1");
}

TEST(LogoPage, FillsTheLogoAndIconOptions) {
    PageFixture f;
    WriteFile(f.folder / "i.ico", IconFileBytes({{16, qRgb(1, 1, 1)}}));
    const std::string bmp = f.Picture("one.bmp", SolidImage(10, 10, Qt::red), "BMP");
    const std::string png = f.Picture("two.png", SolidImage(10, 10, Qt::red), "PNG");
    OptionSet defaults;
    f.page->FillOptions(defaults);
    EXPECT_FALSE(defaults.changeicon);
    EXPECT_EQ(defaults.iconfilename, kIconPromptText.toStdString());
    EXPECT_EQ(defaults.firstimage, kImagePromptText.toStdString());
    EXPECT_EQ(defaults.firstsec, "3");
    EXPECT_EQ(defaults.firstclick, 0);
    EXPECT_EQ(defaults.secondclick, 0);

    f.operator()<QCheckBox>("changeIconCheckBox").setChecked(true);
    f.Choose("iconFileButton", f.folder / "i.ico");
    f.operator()<QCheckBox>("showFirstImageCheckBox").setChecked(true);
    f.Choose("firstImageButton", bmp);
    f.operator()<QCheckBox>("firstImageFadeInCheckBox").setChecked(true);
    f.operator()<QRadioButton>("firstImageClickCloseRadio").setChecked(true);
    f.operator()<QLineEdit>("firstImageSecondsEdit").setText(QString());
    f.operator()<QCheckBox>("showSecondImageCheckBox").setChecked(true);
    f.Choose("secondImageButton", png);
    f.operator()<QLineEdit>("secondImageSecondsEdit").setText(QStringLiteral("12"));
    OptionSet o;
    f.page->FillOptions(o);
    EXPECT_TRUE(o.changeicon);
    EXPECT_EQ(o.iconfilename, f.folder / "i.ico");
    EXPECT_TRUE(o.showfirstimage);
    EXPECT_EQ(o.firstimage, bmp);
    EXPECT_TRUE(o.firsttrans1);
    EXPECT_FALSE(o.firsttrans2);
    EXPECT_EQ(o.firstclick, 1);
    EXPECT_EQ(o.firstsec, "3") << "an empty edit counts as it reads once left";
    EXPECT_TRUE(o.showsecondimage);
    EXPECT_EQ(o.secondimage, png);
    EXPECT_FALSE(o.secondtrans1);
    EXPECT_EQ(o.secondclick, 0);
    EXPECT_EQ(o.secondsec, "12");
}

TEST(LogoPage, PageLoadWithNoStoredDefaults) {
    PageFixture f;
    f.operator()<QPushButton>("logoLoadDefaultsButton").click();
    for (const char* box :
         {"changeIconCheckBox", "showFirstImageCheckBox", "showSecondImageCheckBox"}) {
        EXPECT_FALSE(f.operator()<QCheckBox>(box).isChecked()) << box;
    }
    for (const char* box : {"firstImageFadeInCheckBox", "firstImageFadeOutCheckBox",
                            "secondImageFadeInCheckBox", "secondImageFadeOutCheckBox"}) {
        EXPECT_TRUE(f.operator()<QCheckBox>(box).isChecked()) << box;
        EXPECT_TRUE(f.operator()<QCheckBox>(box).isEnabled()) << box;
    }
    EXPECT_TRUE(f.operator()<QRadioButton>("firstImageAutoCloseRadio").isChecked());
    EXPECT_TRUE(f.operator()<QRadioButton>("secondImageAutoCloseRadio").isChecked());
    EXPECT_EQ(f.operator()<QLineEdit>("firstImageSecondsEdit").text(), "3");
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageSecondsEdit").text(), "3");
    EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), kIconPromptText);
    EXPECT_EQ(f.operator()<QComboBox>("iconImageList").count(), 3) << "the default icon's images";
    EXPECT_TRUE(fs::exists(f.Preview(2)));
    EXPECT_EQ(f.operator()<QLineEdit>("firstImageEdit").text(), kImagePromptText);
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageEdit").text(), kImagePromptText);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    EXPECT_TRUE(f.dialogs.errors.isEmpty());
    EXPECT_TRUE(fs::exists(DefaultSettingsPath())) << "the load leaves an empty key behind";
}

TEST(LogoPage, PageLoadAppliesStoredDefaultsAndChecksTheFiles) {
    PageFixture f;
    WriteFile(f.folder / "two.ico", IconFileBytes({{16, qRgb(1, 1, 1)}, {32, qRgb(2, 2, 2)}}));
    const std::string gif = f.folder / "first.gif";
    WriteFile(gif, GifBytes(2, 1, {qRgb(0, 0, 0), qRgb(255, 0, 0)}, {0, 1}, 0));
    SettingsStore store;
    store.Open();
    store.WriteStrings({{"changeicon", "1"},
                        {"iconfilename", f.folder / "two.ico"},
                        {"showfirstimage", "1"},
                        {"firstimage", gif},
                        {"firsttrans1", "1"},
                        {"firstclick", "1"},
                        {"firstsec", "99999"},
                        {"showsecondimage", "1"},
                        {"secondimage", f.folder / "gone.jpg"},
                        {"secondtrans1", "0"},
                        {"secondclick", "1"},
                        {"secondsec", "abc"}});
    f.operator()<QPushButton>("logoLoadDefaultsButton").click();
    EXPECT_TRUE(f.operator()<QCheckBox>("changeIconCheckBox").isChecked());
    EXPECT_FALSE(f.operator()<QFrame>("iconPanel").isHidden());
    EXPECT_FALSE(f.operator()<QFrame>("firstImagePanel").isHidden());
    EXPECT_FALSE(f.operator()<QFrame>("secondImagePanel").isHidden());
    EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), Q(f.folder / "two.ico"));
    EXPECT_EQ(f.operator()<QComboBox>("iconImageList").count(), 2);
    EXPECT_EQ(f.operator()<QLineEdit>("firstImageEdit").text(), Q(gif));
    EXPECT_FALSE(f.operator()<PictureBox>("firstImageThumbnail").isHidden());
    EXPECT_EQ(f.operator()<PictureBox>("firstImageThumbnail").picture().size(), QSize(2, 1));
    EXPECT_FALSE(f.operator()<QCheckBox>("firstImageFadeInCheckBox").isChecked())
        << "GIF: unchecked";
    EXPECT_FALSE(f.operator()<QCheckBox>("firstImageFadeInCheckBox").isEnabled());
    EXPECT_TRUE(f.operator()<QRadioButton>("firstImageClickCloseRadio").isChecked());
    EXPECT_EQ(f.operator()<QLineEdit>("firstImageSecondsEdit").text(), "32767");
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageEdit").text(), kImagePromptText)
        << "file is gone";
    EXPECT_TRUE(f.operator()<PictureBox>("secondImageThumbnail").isHidden());
    EXPECT_FALSE(f.operator()<QCheckBox>("secondImageFadeInCheckBox").isChecked());
    EXPECT_TRUE(f.operator()<QCheckBox>("secondImageFadeOutCheckBox").isChecked());
    EXPECT_FALSE(f.operator()<QRadioButton>("secondImageAutoCloseRadio").isChecked());
    EXPECT_FALSE(f.operator()<QRadioButton>("secondImageClickCloseRadio").isChecked())
        << "neither chosen";
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageSecondsEdit").text(), "3");
    OptionSet o;
    f.page->FillOptions(o);
    EXPECT_EQ(o.secondclick, 1);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(LogoPage, PageLoadShowsTheDefaultIconForAStoredIconThatCannotBeSplit) {
    PageFixture f;
    WriteFile(f.folder / "broken.ico", IconFileBytes({{16, qRgb(1, 1, 1)}}).substr(0, 30));
    SettingsStore store;
    store.Open();
    store.WriteStrings({{"changeicon", "1"}, {"iconfilename", f.folder / "broken.ico"}});
    f.operator()<QPushButton>("logoLoadDefaultsButton").click();
    EXPECT_EQ(f.operator()<QComboBox>("iconImageList").count(), 3);
    EXPECT_EQ(f.operator()<QLineEdit>("iconFileEdit").text(), kIconPromptText);
    EXPECT_TRUE(f.operator()<QCheckBox>("changeIconCheckBox").isChecked());
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    SettingsStore reread;
    reread.Open();
    EXPECT_EQ(reread.ReadString("iconfilename"), f.folder / "broken.ico") << "default kept";
}

TEST(LogoPage, SaveAsDefaultNormalisesTheSecondsAndWritesTheValues) {
    PageFixture f;
    f.operator()<QCheckBox>("showSecondImageCheckBox").setChecked(true);
    f.operator()<QRadioButton>("secondImageClickCloseRadio").setChecked(true);
    f.operator()<QLineEdit>("secondImageSecondsEdit").setText(QString());
    f.operator()<QPushButton>("logoSaveDefaultsButton").click();
    EXPECT_EQ(f.operator()<QLineEdit>("secondImageSecondsEdit").text(), "3")
        << "normalised before saving";
    const std::string text = ReadFile(DefaultSettingsPath());
    EXPECT_NE(text.find("\"showsecondimage\"=\"1\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"secondclick\"=\"1\""), std::string::npos);
    EXPECT_NE(text.find("\"secondsec\"=\"3\""), std::string::npos);
    EXPECT_NE(text.find("\"firstimage\"=\"" + kImagePromptText.toStdString() + "\""),
              std::string::npos);
    EXPECT_TRUE(f.dialogs.errors.isEmpty());
}

TEST(LogoPage, PreviewWithoutAnImageFileOnlySaysSo) {
    WindowHarness h;
    auto& page = *h.window->findChild<LogoPage*>(QStringLiteral("LogoPage"));
    page.SetPreviewTimersByHand(true);
    h.operator()<QPushButton>("firstImagePreviewButton").click();
    h.operator()<QPushButton>("secondImagePreviewButton").click();
    EXPECT_EQ(h.dialogs.messages,
              QStringList({"Please select an image file!", "Please select an image file!"}));
    EXPECT_TRUE(h.window->isVisible());
}

// The Logo setup page inside the main window, with pictures of its own.
struct WindowFixture {
    TestFolder folder;
    ScopedEnvironment config{"XDG_CONFIG_HOME", folder / "config"};
    WindowHarness h;
    LogoPage& page = *h.window->findChild<LogoPage*>(QStringLiteral("LogoPage"));

    WindowFixture() { page.SetPreviewTimersByHand(true); }
    void Choose(const char* button, const std::string& path) {
        h.dialogs.files.push_back(Q(path));
        h.operator()<QAbstractButton>(button).click();
    }
};

TEST(LogoPage, PreviewHidesTheMainWindowExactlyWhileItIsOpen) {
    WindowFixture f;
    QImage picture(60, 40, QImage::Format_ARGB32);
    picture.fill(QColor(0, 0, 255, 128));
    SaveImage(picture, f.folder / "alpha.png", "PNG");
    f.Choose("firstImageButton", f.folder / "alpha.png");
    f.h.operator()<QCheckBox>("firstImageFadeInCheckBox").setChecked(true);  // a PNG never fades
    f.h.operator()<QRadioButton>("firstImageClickCloseRadio").setChecked(true);
    bool checked = false;
    WhenShown<ImagePreviewWindow>([&](ImagePreviewWindow& preview) {
        checked = true;
        EXPECT_FALSE(f.h.window->isVisible());
        EXPECT_EQ(preview.size(), QSize(60, 40));
        EXPECT_TRUE(preview.testAttribute(Qt::WA_TranslucentBackground));
        EXPECT_FALSE(preview.fadeIn);
        EXPECT_TRUE(preview.waitForClick);
        EXPECT_EQ(preview.phase, 2);
        EXPECT_EQ(preview.pictureBox().picture().pixelColor(0, 0).alpha(), 128);
        QTest::mouseClick(const_cast<PictureBox*>(&preview.pictureBox()), Qt::LeftButton);
    });
    f.h.operator()<QPushButton>("firstImagePreviewButton").click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(f.h.window->isVisible());
    EXPECT_TRUE(f.h.dialogs.messages.isEmpty());
}

TEST(LogoPage, PreviewTakesTheTimingOfItsImage) {
    WindowFixture f;
    SaveImage(SolidImage(30, 20, Qt::yellow), f.folder / "plain.bmp", "BMP");
    f.Choose("secondImageButton", f.folder / "plain.bmp");
    f.h.operator()<QCheckBox>("secondImageFadeInCheckBox").setChecked(true);
    f.h.operator()<QCheckBox>("secondImageFadeOutCheckBox").setChecked(true);
    f.h.operator()<QRadioButton>("secondImageAutoCloseRadio").setChecked(true);
    struct Case {
        QString seconds;
        int expected;
    };
    for (const Case& c :
         {Case{"7", 7}, Case{"0", 0}, Case{"99999999999999999999999", 32767}, Case{"4x", 3}}) {
        f.h.operator()<QLineEdit>("secondImageSecondsEdit").setText(c.seconds);
        bool checked = false;
        WhenShown<ImagePreviewWindow>([&](ImagePreviewWindow& preview) {
            checked = true;
            EXPECT_TRUE(preview.fadeIn);
            EXPECT_TRUE(preview.fadeOut);
            EXPECT_FALSE(preview.waitForClick);
            EXPECT_EQ(preview.closeAfterSeconds, c.expected) << c.seconds.toStdString();
            EXPECT_EQ(preview.phase, 1);
            EXPECT_TRUE(preview.fadeInTimer.IsActive());
            preview.close();
        });
        f.h.operator()<QPushButton>("secondImagePreviewButton").click();
        EXPECT_TRUE(checked);
        EXPECT_TRUE(f.h.window->isVisible());
    }
}

TEST(LogoPage, GifPreviewCutsAwayItsTransparentColour) {
    WindowFixture f;
    const std::string gif = f.folder / "key.gif";
    WriteFile(gif, GifBytes(2, 2, {qRgb(200, 0, 0), qRgb(0, 0, 200)}, {0, 1, 1, 0}, 1));
    f.Choose("firstImageButton", gif);
    WhenShown<ImagePreviewWindow>([&](ImagePreviewWindow& preview) {
        EXPECT_EQ(preview.palette().color(QPalette::Window), QColor(0, 1, 0));
        EXPECT_TRUE(preview.mask().contains(QPoint(0, 0)));
        EXPECT_FALSE(preview.mask().contains(QPoint(1, 0)));
        EXPECT_FALSE(preview.fadeIn);
        preview.close();
    });
    f.h.operator()<QPushButton>("firstImagePreviewButton").click();
    EXPECT_TRUE(f.h.window->isVisible());
}

TEST(LogoPage, PreviewOfAFileThatNoLongerLoadsKeepsTheMainWindow) {
    WindowFixture f;
    SaveImage(SolidImage(30, 20, Qt::yellow), f.folder / "later.bmp", "BMP");
    f.Choose("firstImageButton", f.folder / "later.bmp");
    WriteFile(f.folder / "later.bmp", "BM damaged since");
    // Closes a preview should one open, so that the test ends either way.
    bool opened = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<ImagePreviewWindow*>(widget);
                preview && preview->isVisible()) {
                opened = true;
                preview->close();
            }
        }
    });
    watch.start();
    f.h.operator()<QPushButton>("firstImagePreviewButton").click();
    watch.stop();
    EXPECT_FALSE(opened);
    EXPECT_EQ(f.h.dialogs.messages, QStringList({kIncorrect}));
    EXPECT_TRUE(f.h.window->isVisible());
    EXPECT_EQ(f.h.operator()<QLineEdit>("firstImageEdit").text(), Q(f.folder / "later.bmp"));
}

TEST(LogoPage, ConversionFromTheWindowCarriesTheIconAndBothImages) {
    WindowFixture f;
    const std::string icon =
        IconFileBytes({{16, qRgb(255, 0, 0)}, {32, qRgb(0, 255, 0)}, {48, qRgb(0, 0, 255)}});
    WriteFile(f.folder / "brand.ico", icon);
    QImage alpha(50, 30, QImage::Format_ARGB32);
    alpha.fill(QColor(10, 200, 10, 100));
    SaveImage(alpha, f.folder / "before.png", "PNG");
    SaveImage(SolidImage(40, 20, Qt::magenta), f.folder / "after.bmp", "BMP");
    WriteFile(f.folder / "Guide.docx", RandomBytes(5000, 3));
    fs::create_directories(f.folder / "out");

    f.h.operator()<QCheckBox>("changeIconCheckBox").setChecked(true);
    f.Choose("iconFileButton", f.folder / "brand.ico");
    f.h.operator()<QCheckBox>("showFirstImageCheckBox").setChecked(true);
    f.Choose("firstImageButton", f.folder / "before.png");
    f.h.operator()<QLineEdit>("firstImageSecondsEdit").setText(QStringLiteral("5"));
    f.h.operator()<QCheckBox>("showSecondImageCheckBox").setChecked(true);
    f.Choose("secondImageButton", f.folder / "after.bmp");
    f.h.operator()<QCheckBox>("secondImageFadeInCheckBox").setChecked(true);
    f.h.operator()<QCheckBox>("secondImageFadeOutCheckBox").setChecked(true);
    f.h.operator()<QRadioButton>("secondImageClickCloseRadio").setChecked(true);
    f.h.operator()<QLineEdit>("secondImageSecondsEdit").setText(QStringLiteral("12"));
    f.h.dialogs.fileLists.push_back({Q(f.folder / "Guide.docx")});
    f.h.operator()<QPushButton>("addFilesButton").click();
    f.h.dialogs.folders.push_back(Q(f.folder / "out"));
    f.h.operator()<QAbstractButton>("outputFolderButton").click();
    f.h.operator()<QPushButton>("convertButton").click();
    ASSERT_EQ(f.h.dialogs.messages, QStringList({"Convert finished!"}));

    const std::string output = ReadFile(f.folder / "out/Guide.exe");
    const ReadOutput read = ReadBack(output);
    std::vector<std::string> names;
    for (const ReadEntry& entry : read.package.entries) {
        names.push_back(entry.name);
    }
    EXPECT_EQ(names,
              std::vector<std::string>(
                  {"option\\winsetbrower.dll", "option\\wateroptions.dll", "option\\winoptions.dll",
                   "option\\2.bmp", "option\\trmack2.dll", "option\\1.png", "option\\trmack1.dll",
                   "option\\trmacke1.dll", "option\\trmacke2.dll"}));
    EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\winsetbrower.dll")),
              std::vector<std::string>({"~~~~~.txt", "1", "1"}));
    EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\trmack1.dll")),
              std::vector<std::string>({"option\\1.png", "0", "1", "5", "0", "0"}));
    EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\trmack2.dll")),
              std::vector<std::string>({"option\\2.bmp", "1", "0", "12", "1", "1"}));
    EXPECT_EQ(EntryContent(read.package, "option\\1.png"), ReadFile(f.folder / "before.png"));
    EXPECT_EQ(EntryContent(read.package, "option\\2.bmp"), ReadFile(f.folder / "after.bmp"));

    // The output's icon group names the three images of the icon file, field by field.
    const std::vector<FoundResource> resources = WalkResources(output);
    const FoundResource* group = nullptr;
    for (const FoundResource& r : resources) {
        if (r.type == "#14" && r.name == "MAINICON") {
            group = &r;
        }
    }
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->data.size(), 6u + 14u * 3u);
    EXPECT_EQ(Le16(group->data, 0), 0);
    EXPECT_EQ(Le16(group->data, 2), 1);
    EXPECT_EQ(Le16(group->data, 4), 3);
    for (int n = 0; n < 3; ++n) {
        const std::size_t entry = 6 + 14 * n;
        const std::size_t source = 6 + 16 * n;
        EXPECT_EQ(group->data.substr(entry, 4), icon.substr(source, 4)) << "size and colours";
        EXPECT_EQ(Le16(group->data, entry + 4), Le16(icon, source + 4)) << "planes";
        EXPECT_EQ(Le16(group->data, entry + 6), 32) << "bit count";
        EXPECT_EQ(Le32(group->data, entry + 8), Le32(icon, source + 8)) << "bytes";
        const std::string id = "#" + std::to_string(Le16(group->data, entry + 12));
        const FoundResource* image = nullptr;
        for (const FoundResource& r : resources) {
            if (r.type == "#3" && r.name == id) {
                image = &r;
            }
        }
        ASSERT_NE(image, nullptr) << id;
        EXPECT_EQ(image->data, icon.substr(Le32(icon, source + 12), Le32(icon, source + 8)));
        EXPECT_EQ(image->language, group->language);
    }
}

TEST(LogoPage, CloseButtonClosesTheMainWindow) {
    WindowHarness h;
    h.operator()<QPushButton>("logoCloseButton").click();
    EXPECT_FALSE(h.window->isVisible());
}

}  // namespace
}  // namespace quorlix::test
