// The "Embed fonts" page: the explanation, the fonts list in the order of the fonts list it is
// given, and the check marks that survive hiding the list.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "options/fonts_page.h"
#include "support/page_harness.h"

namespace quorlix::test {
namespace {

using Page = PageHarness<FontsPage>;

const std::vector<FontListEntry> kFonts = {
    {"Alpha Sans (TrueType)", "/usr/share/fonts/a/AlphaSans.ttf"},
    {"beta Serif Bold (OpenType)", "BetaSerif-Bold.otf"},
    {"Gamma (Type 1)", "/usr/share/fonts/type1/gamma.pfm|/usr/share/fonts/type1/gamma.pfb"},
    {"Delta (Type 1)", ""},
};

QStringList Items(const QListWidget& list) {
    QStringList items;
    for (int row = 0; row < list.count(); ++row) {
        items << list.item(row)->text();
    }
    return items;
}

TEST(FontsPage, ShowsTheExplanationUntilFontsAreAdded) {
    Page p(kFonts);
    auto& add = p.operator()<QCheckBox>("embedFontsCheckBox");
    EXPECT_EQ(add.text(), "Add embedded fonts");
    EXPECT_FALSE(add.isChecked());
    auto& explanation = p.operator()<QWidget>("explanationPanel");
    EXPECT_TRUE(explanation.isVisible());
    EXPECT_FALSE(explanation.isEnabled());
    auto& memo = p.operator()<QPlainTextEdit>("explanationText");
    EXPECT_TRUE(memo.isReadOnly());
    EXPECT_EQ(memo.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo.toPlainText().split('\n'),
              QStringList({"If your Word file has special fonts, your Word may not run perfectly "
                           "on other computers, since those fonts ",
                           "may not have been installed on them [or your client's computer]. In "
                           "that event, this section allows you to ",
                           "embed the used fonts of your computer with output exe file, which "
                           "this program will generate. Exe file thus ",
                           "created will run properly, irrespective of the availability of fonts "
                           "on the other computers.",
                           "",
                           "Please note: To distribute the embedded fonts, you should follow the "
                           "laws of your country."}));
    auto& panel = p.operator()<QWidget>("fontListPanel");
    EXPECT_TRUE(panel.isHidden());
    EXPECT_EQ(panel.geometry(), explanation.geometry()) << "the list lies over the explanation";
    QStringList labels;
    for (const QLabel* label : panel.findChildren<QLabel*>()) {
        labels << label->text();
    }
    EXPECT_EQ(labels, QStringList({"Avaible fonts in your computer:",
                                   " If postscript fonts avaible, they are at bottom of the check "
                                   "list box ",
                                   "Please checked on to select the emebdded fnots"}));
    QSignalSpy close(p.page.get(), &OptionPage::closeRequested);
    p.operator()<QPushButton>("fontsCloseButton").click();
    EXPECT_EQ(close.count(), 1);
}

TEST(FontsPage, ListsTheFontsInOrderAndKeepsTheirMarksWhileHidden) {
    Page p(kFonts);
    auto& list = p.operator()<QListWidget>("fontList");
    EXPECT_EQ(Items(list), QStringList({"Alpha Sans (TrueType)", "beta Serif Bold (OpenType)",
                                        "Gamma (Type 1)", "Delta (Type 1)"}));
    for (int row = 0; row < list.count(); ++row) {
        EXPECT_EQ(list.item(row)->checkState(), Qt::Unchecked);
    }
    auto& add = p.operator()<QCheckBox>("embedFontsCheckBox");
    add.click();
    EXPECT_TRUE(p.operator()<QWidget>("fontListPanel").isVisible());
    list.item(0)->setCheckState(Qt::Checked);
    list.item(2)->setCheckState(Qt::Checked);
    add.click();
    EXPECT_TRUE(p.operator()<QWidget>("fontListPanel").isHidden());
    OptionSet o = p.Options();
    EXPECT_FALSE(o.embedfonts);
    add.click();
    EXPECT_EQ(list.item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list.item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list.item(2)->checkState(), Qt::Checked);
    o = p.Options();
    EXPECT_TRUE(o.embedfonts);
    EXPECT_EQ(o.embedfontlist,
              std::vector<FontEntry>({{kFonts[0].displayName, kFonts[0].fileEntry},
                                      {kFonts[2].displayName, kFonts[2].fileEntry}}));
}

TEST(FontsPage, ListsExactlyTheInstalledTrueTypeFontsWhenThereIsNoType1Font) {
    const std::vector<FontListEntry> installed =
        ListInstalledFonts(std::vector<std::string>{"/usr/share/fonts/truetype/dejavu"});
    ASSERT_FALSE(installed.empty());
    Page p(installed);
    QStringList expected;
    for (const FontListEntry& font : installed) {
        EXPECT_EQ(font.fileEntry.find('|'), std::string::npos) << font.displayName;
        expected << QString::fromStdString(font.displayName);
    }
    EXPECT_EQ(Items(p.operator()<QListWidget>("fontList")), expected);
    QStringList sorted = expected;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
    });
    EXPECT_EQ(expected, sorted);
}

TEST(FontsPage, NoInstalledFontGivesAnEmptyListAndNothingToEmbed) {
    Page p;
    EXPECT_EQ(p.operator()<QListWidget>("fontList").count(), 0);
    p.operator()<QCheckBox>("embedFontsCheckBox").click();
    const OptionSet o = p.Options();
    EXPECT_TRUE(o.embedfonts);
    EXPECT_TRUE(o.embedfontlist.empty());
}

}  // namespace
}  // namespace quorlix::test
