// The "General option" page: its controls, the size fields' key filters and exit steps, the
// window size buttons, and its stored defaults.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <filesystem>

#include "options/general_page.h"
#include "platform/settings_store.h"
#include "support/page_harness.h"
#include "support/test_folder.h"
#include "widgets/up_down.h"

namespace quorlix::test {
namespace {

using Page = PageHarness<GeneralPage>;

// Starts from a user with no stored defaults.
// No stored defaults, and the folder a test's own defaults file goes into.
void ForgetDefaults() {
    std::filesystem::remove(DefaultSettingsPath());
    std::filesystem::create_directories(std::filesystem::path(DefaultSettingsPath()).parent_path());
}

TEST(GeneralPage, ShowsEveryControlWithItsInitialState) {
    Page p;
    EXPECT_EQ(p.operator()<QGroupBox>("optionGroup").title(), "Option:");
    struct Box {
        const char* name;
        const char* text;
        bool checked;
        bool hidden;
    };
    for (const Box& b : std::vector<Box>{
             {"titleFileNameCheckBox", "Word File name", true, false},
             {"maximizedCheckBox", "Display Word in Maximized window when run", true, false},
             {"fixedSizeCheckBox", "Window is not resizable, users cannot change the window size",
              false, false},
             {"disableCopyCheckBox", "Disable copy/paste", true, false},
             {"disableRightClickCheckBox", "Disable mouse right click popup menu", true, false},
             {"hideToolBarCheckBox", "Hide Word tool bar", false, true},
             {"allowSaveCheckBox", "Allow save changes to another Word EXE", false, true},
             {"openWebsiteCheckBox", "Open website after closing the player window:", false,
              false}}) {
        auto& box = p.operator()<QCheckBox>(b.name);
        EXPECT_EQ(box.text(), b.text) << b.name;
        EXPECT_EQ(box.isChecked(), b.checked) << b.name;
        EXPECT_EQ(box.isHidden(), b.hidden) << b.name;
    }
    struct Radio {
        const char* name;
        const char* text;
        bool checked;
    };
    for (const Radio& r :
         std::vector<Radio>{{"wordSizeRadio", "Same as Word size", false},
                            {"customSizeRadio", "Custom window size", true},
                            {"ignoreMacroRadio", "No matter macro is enabled ", true},
                            {"exitIfMacroEnabledRadio",
                             "If macro is enabled, a message will popup and then exit.", false},
                            {"exitIfMacroDisabledRadio",
                             "If macro is disabled, a message will popup and then exit.", false}}) {
        auto& radio = p.operator()<QRadioButton>(r.name);
        EXPECT_EQ(radio.text(), r.text) << r.name;
        EXPECT_EQ(radio.isChecked(), r.checked) << r.name;
        EXPECT_FALSE(radio.isVisible()) << r.name;
    }
    EXPECT_TRUE(p.operator()<QRadioButton>("wordSizeRadio").isHidden());
    EXPECT_TRUE(p.operator()<QRadioButton>("customSizeRadio").isHidden());
    auto& macro = p.operator()<QGroupBox>("macroGroup");
    EXPECT_EQ(macro.title(), "Macro enabled option");
    EXPECT_TRUE(macro.isHidden());
    EXPECT_EQ(p.operator()<QLineEdit>("titleEdit").text(), "-This Word document will help you");
    EXPECT_EQ(p.operator()<QLineEdit>("macroMessageEdit").text(), "Please enable macro in MS Word");
    EXPECT_EQ(p.operator()<QLineEdit>("websiteEdit").text(), "http://www.dorvane.com");
    auto& versions = p.operator()<QComboBox>("wordVersionComboBox");
    QStringList items;
    for (int i = 0; i < versions.count(); ++i) {
        items << versions.itemText(i);
    }
    EXPECT_EQ(items, QStringList({"Word 2000 or above", "Word XP or above", "Word 2003 or above",
                                  "Word 2007 or above", "Word 2010 or above"}));
    EXPECT_EQ(versions.currentIndex(), 0);
    for (const auto& [edit, arrows, text] : {std::tuple{"widthEdit", "widthUpDown", "640"},
                                             std::tuple{"heightEdit", "heightUpDown", "480"}}) {
        EXPECT_EQ(p.operator()<QLineEdit>(edit).text(), text);
        auto& upDown = p.operator()<UpDownControl>(arrows);
        EXPECT_EQ(upDown.minimum(), 10);
        EXPECT_EQ(upDown.maximum(), 32767);
        EXPECT_EQ(QString::number(upDown.position()), text);
    }
    for (const auto& [name, text] : {std::pair{"generalSaveDefaultsButton", "Save as default"},
                                     std::pair{"generalLoadDefaultsButton", "Load from default"},
                                     std::pair{"generalCloseButton", "Close"}}) {
        EXPECT_EQ(p.operator()<QPushButton>(name).text(), text);
    }
    QSignalSpy close(p.page.get(), &OptionPage::closeRequested);
    p.operator()<QPushButton>("generalCloseButton").click();
    EXPECT_EQ(close.count(), 1);
}

TEST(GeneralPage, SizeFieldsTakeDigitsOnlyAndEndInRange) {
    Page p;
    for (const char* name : {"widthEdit", "heightEdit"}) {
        auto& edit = p.operator()<QLineEdit>(name);
        EXPECT_EQ(TypeAndLeave(edit, ""), "100") << name;
        EXPECT_EQ(TypeAndLeave(edit, "5"), "10") << name;
        EXPECT_EQ(TypeAndLeave(edit, "0640"), "640") << name;
        EXPECT_EQ(TypeAndLeave(edit, "8a0-0 x"), "800") << "letters cannot be typed";
        EXPECT_EQ(TypeAndLeave(edit, "99999"), "32767") << name;
        EXPECT_EQ(TypeAndLeave(edit, "123456789012345678901234567890"), "32767") << name;
    }
    auto& width = p.operator()<QLineEdit>("widthEdit");
    width.setText("64");
    QTest::keyClick(&width, Qt::Key_Backspace);
    QTest::keyClick(&width, Qt::Key_Return);
    EXPECT_EQ(width.text(), "6");
    QTest::keyClick(&width, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(width.text(), "6") << "Ctrl+V is a control character";

    // The edit's context menu still pastes; the exit step cleans up what it left.
    QGuiApplication::clipboard()->setText("twelve");
    width.selectAll();
    width.paste();
    EXPECT_EQ(width.text(), "twelve");
    Leave(width);
    EXPECT_EQ(width.text(), "100");
    EXPECT_EQ(p.operator()<UpDownControl>("widthUpDown").position(), 100);
}

TEST(GeneralPage, ArrowsStepTheSizeWithinRange) {
    Page p;
    auto& height = p.operator()<QLineEdit>("heightEdit");
    auto& arrows = p.operator()<UpDownControl>("heightUpDown");
    arrows.upArrow()->click();
    EXPECT_EQ(height.text(), "481");
    height.setText("11");
    arrows.downArrow()->click();
    arrows.downArrow()->click();
    EXPECT_EQ(height.text(), "10");
    height.setText("32767");
    arrows.upArrow()->click();
    EXPECT_EQ(height.text(), "32767");
}

TEST(GeneralPage, SameAsWordSizeDisablesTheSizeFields) {
    Page p;
    const char* sizeControls[] = {"widthEdit", "widthUpDown", "heightEdit", "heightUpDown"};
    p.operator()<QRadioButton>("wordSizeRadio").click();
    for (const char* name : sizeControls) {
        EXPECT_FALSE(p.operator()<QWidget>(name).isEnabled()) << name;
    }
    p.operator()<QRadioButton>("customSizeRadio").click();
    for (const char* name : sizeControls) {
        EXPECT_TRUE(p.operator()<QWidget>(name).isEnabled()) << name;
    }
    OptionSet initial;
    const OptionSet shown = p.Options();
    EXPECT_EQ(shown.opwidth, initial.opwidth) << "the size buttons are not options";
}

TEST(GeneralPage, FillsEveryGeneralOption) {
    Page p;
    p.operator()<QCheckBox>("titleFileNameCheckBox").setChecked(false);
    p.operator()<QLineEdit>("titleEdit").setText(" My title ");
    p.operator()<QLineEdit>("widthEdit").setText("800");
    p.operator()<QLineEdit>("heightEdit").setText("600");
    p.operator()<QCheckBox>("maximizedCheckBox").setChecked(false);
    p.operator()<QCheckBox>("openWebsiteCheckBox").setChecked(true);
    p.operator()<QLineEdit>("websiteEdit").setText("http://example.org/after");
    p.operator()<QCheckBox>("fixedSizeCheckBox").setChecked(true);
    p.operator()<QCheckBox>("hideToolBarCheckBox").setChecked(true);
    p.operator()<QComboBox>("wordVersionComboBox").setCurrentIndex(4);
    p.operator()<QCheckBox>("disableRightClickCheckBox").setChecked(false);
    p.operator()<QCheckBox>("disableCopyCheckBox").setChecked(false);
    p.operator()<QRadioButton>("exitIfMacroDisabledRadio").setChecked(true);
    p.operator()<QLineEdit>("macroMessageEdit").setText("Macros off!");
    p.operator()<QCheckBox>("allowSaveCheckBox").setChecked(true);
    const OptionSet o = p.Options();
    EXPECT_FALSE(o.opfilename);
    EXPECT_EQ(o.opfiletitle, " My title ");
    EXPECT_EQ(o.opwidth, "800");
    EXPECT_EQ(o.opheigh, "600");
    EXPECT_FALSE(o.opmax);
    EXPECT_TRUE(o.opifweb);
    EXPECT_EQ(o.opweb, "http://example.org/after");
    EXPECT_TRUE(o.opnoresi);
    EXPECT_TRUE(o.ophidetool);
    EXPECT_EQ(o.opcomm, 4);
    EXPECT_FALSE(o.opright);
    EXPECT_FALSE(o.opcopy);
    EXPECT_EQ(o.opmacrob, 2);
    EXPECT_EQ(o.opmacrobme, "Macros off!");
    EXPECT_TRUE(o.opsave);

    p.operator()<QComboBox>("wordVersionComboBox").setCurrentIndex(-1);
    EXPECT_EQ(p.Options().opcomm, -1) << "no version selected";
}

TEST(GeneralPage, SavesAndLoadsItsDefaults) {
    ForgetDefaults();
    Page p;
    p.operator()<QLineEdit>("titleEdit").setText("-Saved");
    p.operator()<QLineEdit>("widthEdit").setText("1024");
    p.operator()<QComboBox>("wordVersionComboBox").setCurrentIndex(3);
    p.operator()<QRadioButton>("exitIfMacroEnabledRadio").setChecked(true);
    p.operator()<QPushButton>("generalSaveDefaultsButton").click();
    const std::string stored = ReadFile(DefaultSettingsPath());
    EXPECT_NE(stored.find("\"opfiletitle\"=\"-Saved\"\r\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("\"opwidth\"=\"1024\"\r\n"), std::string::npos);
    EXPECT_NE(stored.find("\"opcomm\"=\"3\"\r\n"), std::string::npos);
    EXPECT_NE(stored.find("\"opmacrob\"=\"1\"\r\n"), std::string::npos);

    Page other;
    other.page->LoadFromDefaults();
    const OptionSet o = other.Options();
    EXPECT_EQ(o.opfiletitle, "-Saved");
    EXPECT_EQ(o.opwidth, "1024");
    EXPECT_EQ(other.operator()<UpDownControl>("widthUpDown").position(), 1024);
    EXPECT_EQ(o.opcomm, 3);
    EXPECT_EQ(o.opmacrob, 1);
    EXPECT_TRUE(other.dialogs.errors.isEmpty());
}

TEST(GeneralPage, LoadTakesStoredTextsByTheirRules) {
    ForgetDefaults();
    SettingsStore store;
    store.WriteStrings({{"opwidth", "5"}, {"opheigh", "abc"}, {"opcomm", "9"}, {"opmax", "1 "}});
    Page p;
    p.operator()<QPushButton>("generalLoadDefaultsButton").click();
    EXPECT_EQ(p.operator()<QLineEdit>("widthEdit").text(), "10");
    EXPECT_EQ(p.operator()<QLineEdit>("heightEdit").text(), "480");
    EXPECT_EQ(p.operator()<QComboBox>("wordVersionComboBox").currentIndex(), -1);
    EXPECT_FALSE(p.operator()<QCheckBox>("maximizedCheckBox").isChecked());
    p.operator()<QPushButton>("generalSaveDefaultsButton").click();
    EXPECT_NE(ReadFile(DefaultSettingsPath()).find("\"opcomm\"=\"-1\"\r\n"), std::string::npos);
}

TEST(GeneralPage, LoadButtonReportsAValueOfAnotherTypeAfterTheValuesBeforeIt) {
    ForgetDefaults();
    WriteFile(DefaultSettingsPath(),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
              "\"opfiletitle\"=\"-Before\"\r\n"
              "\"opheigh\"=dword:00000300\r\n"
              "\"opmax\"=\"0\"\r\n\r\n");
    Page p;
    p.page->LoadFromDefaults();
    EXPECT_TRUE(p.dialogs.errors.isEmpty()) << "the start-up load goes on";
    EXPECT_FALSE(p.operator()<QCheckBox>("maximizedCheckBox").isChecked());

    Page q;
    q.operator()<QPushButton>("generalLoadDefaultsButton").click();
    EXPECT_EQ(q.dialogs.errors, QStringList({"Invalid data type for 'opheigh'"}));
    EXPECT_EQ(q.operator()<QLineEdit>("titleEdit").text(), "-Before");
    EXPECT_TRUE(q.operator()<QCheckBox>("maximizedCheckBox").isChecked()) << "read after the error";
}

}  // namespace
}  // namespace quorlix::test
