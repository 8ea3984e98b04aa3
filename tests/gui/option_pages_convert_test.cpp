// The option pages as the Convert command reads them: the image watermark check first, every
// option of every page in the option files of a converted output, and the same bytes as the
// command line gives for the same options.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>

#include "conversion/font_text.h"
#include "conversion/option_fields.h"
#include "options/fonts_page.h"
#include "options/general_page.h"
#include "options/logo_page.h"
#include "options/watermark_page.h"
#include "support/cli_output.h"
#include "support/page_harness.h"
#include "support/test_folder.h"

namespace quorlix::test {
namespace {

namespace fs = std::filesystem;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A window with one document on its list and an output folder chosen.
struct Conversion {
    WindowHarness h;
    TestFolder documents;
    TestFolder out;
    std::string document;

    explicit Conversion(const std::string& name) : document(documents / name) {
        WriteFile(document, RandomBytes(20000, 5));
        h.dialogs.fileLists.push_back({Q(document)});
        h.operator()<QPushButton>("addFilesButton").click();
        h.dialogs.folders.push_back(Q(out.path()));
        h.operator()<QAbstractButton>("outputFolderButton").click();
    }
    template <typename T>
    T& operator()(const char* name) const {
        return h.operator()<T>(name);
    }
    void Convert() {
        h.operator()<QPushButton>("convertButton").click();
        EXPECT_EQ(h.dialogs.messages.last(), "Convert finished!");
    }
    // The option set the window converts with, from every page.
    OptionSet Options() const {
        OptionSet options;
        for (const OptionPage* page : h.window->findChildren<OptionPage*>()) {
            page->FillOptions(options);
        }
        options.autorun = h.operator()<QCheckBox>("autorunCheckBox").isChecked();
        return options;
    }
};

TEST(OptionPagesConvert, MissingWatermarkImageIsCheckedBeforeTheDocumentList) {
    WindowHarness h;
    EXPECT_FALSE(h.operator()<QCheckBox>("allowSaveCheckBox").isHidden())
        << "made visible when the main window is built";
    h.operator()<QRadioButton>("imageWatermarkRadio").setChecked(true);
    h.operator()<QPushButton>("convertButton").click();
    EXPECT_EQ(h.dialogs.messages, QStringList({"Please select watermark image!"}));
    EXPECT_TRUE(h.dialogs.fileRequests.isEmpty()) << "the list check does not happen";
    auto& pages = h.operator()<QTabWidget>("pages");
    EXPECT_EQ(pages.currentWidget()->objectName(), "WatermarkPage");
    EXPECT_EQ(h.window->focusWidget(), &h.operator()<QLineEdit>("imageFileEdit"));
}

TEST(OptionPagesConvert, TitleStartsWithTheDocumentNameWhenAsked) {
    Conversion c("Report.docx");
    c.Convert();
    auto lines = OptionLines(
        EntryContent(ReadBack(ReadFile(c.out / "Report.exe")).package, "option\\winoptions.dll"));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "Report-This Word document will help you");
    EXPECT_EQ(lines[8], "9");

    c.operator()<QCheckBox>("titleFileNameCheckBox").setChecked(false);
    c.operator()<QComboBox>("wordVersionComboBox").setCurrentIndex(-1);
    c.Convert();
    lines = OptionLines(
        EntryContent(ReadBack(ReadFile(c.out / "Report.exe")).package, "option\\winoptions.dll"));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "-This Word document will help you");
    EXPECT_EQ(lines[8], "9") << "no version chosen converts for the first version";
}

// Sets every General option, Watermark (text) and Embed fonts control to a value other than
// its initial one.
void SetEveryOption(Conversion& c) {
    c.operator()<QCheckBox>("titleFileNameCheckBox").setChecked(false);
    c.operator()<QLineEdit>("titleEdit").setText("Custom title");
    c.operator()<QLineEdit>("widthEdit").setText("1024");
    c.operator()<QLineEdit>("heightEdit").setText("700");
    c.operator()<QCheckBox>("maximizedCheckBox").setChecked(false);
    c.operator()<QCheckBox>("openWebsiteCheckBox").setChecked(true);
    c.operator()<QLineEdit>("websiteEdit").setText("http://example.org/after");
    c.operator()<QCheckBox>("fixedSizeCheckBox").setChecked(true);
    c.operator()<QCheckBox>("hideToolBarCheckBox").setChecked(true);
    c.operator()<QComboBox>("wordVersionComboBox").setCurrentIndex(4);
    c.operator()<QCheckBox>("disableRightClickCheckBox").setChecked(false);
    c.operator()<QCheckBox>("disableCopyCheckBox").setChecked(false);
    c.operator()<QRadioButton>("exitIfMacroEnabledRadio").setChecked(true);
    c.operator()<QLineEdit>("macroMessageEdit").setText("  Turn macros off\t");
    c.operator()<QCheckBox>("allowSaveCheckBox").setChecked(true);
    c.operator()<QCheckBox>("autorunCheckBox").setChecked(true);

    c.operator()<QRadioButton>("textWatermarkRadio").setChecked(true);
    c.operator()<QLineEdit>("webAddressEdit").setText("http://example.org/mark");
    c.operator()<QLineEdit>("watermarkTextEdit").setText("Mark text");
    c.operator()<QLineEdit>("textLeftEdit").setText("15");
    c.operator()<QLineEdit>("textTopEdit").setText("25");
    c.operator()<QLineEdit>("appearEveryEdit").setText("30");
    c.operator()<QLineEdit>("disappearAfterEdit").setText("7");
    c.operator()<QCheckBox>("transparentBackgroundCheckBox").setChecked(true);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(20);
    font.setItalic(true);
    c.h.dialogs.fonts.push_back(font);
    c.operator()<QPushButton>("selectFontButton").click();
    c.h.dialogs.colours.push_back(QColor(255, 0, 0));
    c.operator()<QPushButton>("fontColourButton").click();
    c.h.dialogs.colours.push_back(QColor(0, 0, 255));
    c.operator()<QPushButton>("backgroundColourButton").click();
    c.operator()<QRadioButton>("relativePositionRadio").setChecked(true);
    c.operator()<QCheckBox>("appearEveryCheckBox").setChecked(true);
    c.operator()<QComboBox>("horizontalComboBox").setCurrentIndex(2);
    c.operator()<QComboBox>("verticalComboBox").setCurrentIndex(1);

    c.operator()<QCheckBox>("embedFontsCheckBox").setChecked(true);
    // The first font and the last one that names its files (a Type 1 font may name none).
    const std::vector<FontListEntry> installed = ListInstalledFonts();
    auto& fonts = c.operator()<QListWidget>("fontList");
    ASSERT_EQ(fonts.count(), static_cast<int>(installed.size()));
    int last = fonts.count() - 1;
    while (last > 0 && installed[static_cast<std::size_t>(last)].fileEntry.empty()) {
        --last;
    }
    ASSERT_GT(last, 0);
    fonts.item(0)->setCheckState(Qt::Checked);
    fonts.item(last)->setCheckState(Qt::Checked);
}

std::string BaseName(const std::string& path) {
    return fs::path(path).filename().string();
}

TEST(OptionPagesConvert, EveryOptionFileLineIsWhatThePagesShow) {
    Conversion c("Guide.docx");
    SetEveryOption(c);
    c.Convert();
    const std::string output = c.out / "Guide/Guide.exe";
    const ReadOutput read = ReadBack(ReadFile(output));
    const OptionSet o = c.Options();
    ASSERT_EQ(o.embedfontlist.size(), 2u);
    const FontEntry first = o.embedfontlist[0];
    const FontEntry last = o.embedfontlist[1];

    EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\winsetbrower.dll")),
              std::vector<std::string>({"~~~~~.txt", "0", "0"}));
    const int dpi = c.operator()<QLineEdit>("watermarkTextEdit").logicalDpiY();
    FontSpec font;
    font.color = 0x000000FF;
    font.size = 20;
    font.height = -((20 * dpi + 36) / 72);
    font.pixelsPerInch = dpi;
    font.charset = 1;
    font.style = FontSpec::kItalic;
    font.name = "DejaVu Serif";
    EXPECT_EQ(
        OptionLines(EntryContent(read.package, "option\\wateroptions.dll")),
        std::vector<std::string>({"1", "http://example.org/mark", "Mark text", "15", "25", "30",
                                  "7", "1", FontToText(font), "00FF0000", "1", "1", "2", "1"}));
    EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\winoptions.dll")),
              std::vector<std::string>({"Custom title", "1024", "700", "2", "1",
                                        "http://example.org/after", "1", "1", "14", "1", "1", "2",
                                        "2", "2", "Turn macros off", "1"}));
    auto fileNames = [](const FontEntry& entry) {
        const std::size_t bar = entry.fileEntry.find('|');
        return bar == std::string::npos ? BaseName(entry.fileEntry)
                                        : BaseName(entry.fileEntry.substr(0, bar)) + "|" +
                                              BaseName(entry.fileEntry.substr(bar + 1));
    };
    EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\trmacke1.dll")),
              std::vector<std::string>({"1", first.displayName, last.displayName}));
    EXPECT_EQ(OptionLines(EntryContent(read.package, "option\\trmacke2.dll")),
              std::vector<std::string>({"1", fileNames(first), fileNames(last)}));
    std::vector<std::string> names;
    for (const ReadEntry& entry : read.package.entries) {
        names.push_back(entry.name);
    }
    ASSERT_GE(names.size(), 5u);
    EXPECT_EQ(names[0], "option\\winsetbrower.dll");
    EXPECT_EQ(names[1], "option\\wateroptions.dll");
    EXPECT_EQ(names[2], "option\\winoptions.dll");
    EXPECT_EQ(names[names.size() - 2], "option\\trmacke1.dll");
    EXPECT_EQ(names.back(), "option\\trmacke2.dll");
    EXPECT_EQ(names[3],
              "myfont\\" + BaseName(first.fileEntry.substr(0, first.fileEntry.find('|'))));
    EXPECT_TRUE(fs::exists(c.out / "Guide/Autorun.inf"));
}

TEST(OptionPagesConvert, ImageWatermarkTravelsWithItsPositionAndTransparency) {
    Conversion c("Plan.doc");
    const std::string jpeg = c.documents / "mark.jpg";
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(Q(jpeg), "JPG"));
    c.operator()<QRadioButton>("imageWatermarkRadio").setChecked(true);
    c.h.dialogs.files.push_back(Q(jpeg));
    c.operator()<QToolButton>("imageFileButton").click();
    c.operator()<QLineEdit>("webAddressEdit").setText("");
    c.operator()<QLineEdit>("imageLeftEdit").setText("99999");
    c.operator()<QLineEdit>("imageTopEdit").setText("5");
    c.operator()<QSlider>("imageTransparencySlider").setValue(40);
    c.Convert();
    const ReadOutput read = ReadBack(ReadFile(c.out / "Plan.exe"));
    ASSERT_GE(read.package.entries.size(), 3u);
    EXPECT_EQ(read.package.entries[1].name, "option\\wateroptionimage.dll");
    EXPECT_EQ(read.package.entries[1].content, ReadFile(jpeg));
    EXPECT_EQ(read.package.entries[2].name, "option\\wateroptions.dll");
    EXPECT_EQ(OptionLines(read.package.entries[2].content),
              std::vector<std::string>({"2", "", "99999", "5", "40"}));
}

TEST(OptionPagesConvert, WindowAndCommandLineWriteTheSameBytes) {
    Conversion c("Same.docx");
    SetEveryOption(c);
    c.operator()<QCheckBox>("autorunCheckBox").setChecked(false);
    c.Convert();
    const OptionSet o = c.Options();
    TestFolder cliOut;
    std::vector<std::string> args{"convert", "--output-folder", cliOut.path()};
    for (const std::string& name : OptionFieldNames()) {
        args.push_back("--set");
        args.push_back(name + "=" + OptionFieldText(o, name));
    }
    args.push_back(c.document);
    const CliRun run = RunCliWith(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string window = ReadFile(c.out / "Same.exe");
    const std::string cli = ReadFile(cliOut / "Same.exe");
    EXPECT_EQ(window.size(), cli.size());
    EXPECT_TRUE(window == cli) << "the outputs differ";
}

}  // namespace
}  // namespace quorlix::test
