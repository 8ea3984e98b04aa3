#include "conversion/page_defaults.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "conversion/font_text.h"
#include "conversion/option_fields.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::ReadFile;
using test::TestFolder;
using test::WriteFile;
using Click = LogoLoadReport::SecondClick;

constexpr const char* kStart =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n";

constexpr const char* kGeneralLines =
    "\"opfilename\"=\"1\"\r\n"
    "\"opfiletitle\"=\"-This Word document will help you\"\r\n"
    "\"opwidth\"=\"640\"\r\n"
    "\"opheigh\"=\"480\"\r\n"
    "\"opmax\"=\"1\"\r\n"
    "\"opnoresi\"=\"0\"\r\n"
    "\"ophidetool\"=\"0\"\r\n"
    "\"opcopy\"=\"1\"\r\n"
    "\"opifweb\"=\"0\"\r\n"
    "\"opright\"=\"1\"\r\n"
    "\"opsave\"=\"0\"\r\n"
    "\"opcomm\"=\"0\"\r\n"
    "\"opweb\"=\"http://www.dorvane.com\"\r\n"
    "\"opmacrob\"=\"0\"\r\n"
    "\"opmacrobme\"=\"Please enable macro in MS Word\"\r\n";

constexpr const char* kLogoLines =
    "\"changeicon\"=\"0\"\r\n"
    "\"iconfilename\"=\"\"\r\n"
    "\"showfirstimage\"=\"0\"\r\n"
    "\"firstimage\"=\"\"\r\n"
    "\"firsttrans1\"=\"0\"\r\n"
    "\"firsttrans2\"=\"0\"\r\n"
    "\"firstclick\"=\"0\"\r\n"
    "\"firstsec\"=\"3\"\r\n"
    "\"showsecondimage\"=\"0\"\r\n"
    "\"secondimage\"=\"\"\r\n"
    "\"secondtrans1\"=\"0\"\r\n"
    "\"secondtrans2\"=\"0\"\r\n"
    "\"secondclick\"=\"0\"\r\n"
    "\"secondsec\"=\"3\"\r\n";

constexpr const char* kWatermarkLines =
    "\"watertype\"=\"0\"\r\n"
    "\"watertext\"=\"Please input your watermark here!\"\r\n"
    "\"waterleft1\"=\"0\"\r\n"
    "\"watertop1\"=\"0\"\r\n"
    "\"watereverysecond\"=\"60\"\r\n"
    "\"wateredissecond\"=\"5\"\r\n"
    "\"waterstringposition\"=\"0\"\r\n"
    "\"waterstringtrans\"=\"2\"\r\n"
    "\"waterimagefile\"=\"\"\r\n"
    "\"waterleft2\"=\"0\"\r\n"
    "\"watertop2\"=\"0\"\r\n"
    "\"waterweb\"=\"http://www.dorvane.com\"\r\n"
    "\"waterstringhr\"=\"0\"\r\n"
    "\"waterstringver\"=\"0\"\r\n"
    "\"waterfont\"=\"00808000FFFFFFF0000C00600011000DMS Sans Serif\"\r\n"
    "\"watercolor\"=\"0000FFFF\"\r\n"
    "\"waterhasdis\"=\"2\"\r\n"
    "\"waterappear\"=\"60\"\r\n"
    "\"waterdisappear\"=\"5\"\r\n";

// Every field of an option set in its text form.
std::vector<std::string> FieldTexts(const OptionSet& options) {
    std::vector<std::string> texts;
    for (const std::string& name : OptionFieldNames()) {
        texts.push_back(name + "=" + OptionFieldText(options, name));
    }
    return texts;
}

// A store over a file of this test's folder.
class PageDefaults : public ::testing::Test {
protected:
    std::string path() const { return folder_ / "fennimorpro.reg"; }
    // Writes a defaults file holding these value lines.
    void Stored(const std::string& lines) { WriteFile(path(), kStart + lines); }
    std::string TypeError(void (*load)(SettingsStore&, OptionSet&), OptionSet& options) {
        try {
            load(store_, options);
        } catch (const SettingsTypeError& error) {
            return error.what();
        }
        return "no error";
    }

    TestFolder folder_;
    SettingsStore store_{path()};
};

TEST_F(PageDefaults, EachSaveWritesItsValuesInTableOrder) {
    const OptionSet initial;
    SaveGeneralDefaults(store_, initial);
    EXPECT_EQ(ReadFile(path()), std::string(kStart) + kGeneralLines + "\r\n");
    SaveLogoDefaults(store_, initial);
    SaveWatermarkDefaults(store_, initial);
    EXPECT_EQ(ReadFile(path()),
              std::string(kStart) + kGeneralLines + kLogoLines + kWatermarkLines + "\r\n");

    // A second save replaces its values in place and leaves every other value alone.
    OptionSet changed;
    changed.opfiletitle = " C:\\x \"q\" \xc3\xa9 ";
    changed.opcomm = -1;
    changed.opmacrob = 2;
    changed.firstclick = 1;
    changed.secondclick = 1;
    changed.firstimage = kImagePrompt;
    changed.watertype = 1;
    changed.waterstringtrans = true;
    changed.waterhasdis = true;
    changed.watereverysecond = "007";
    changed.wateredissecond = "";
    changed.watercolor = 0x00ABCDEF;
    changed.waterfont.name = "Arial";
    SaveGeneralDefaults(store_, changed);
    SaveLogoDefaults(store_, changed);
    SaveWatermarkDefaults(store_, changed);
    std::string expected = std::string(kStart) + kGeneralLines + kLogoLines + kWatermarkLines;
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("\"-This Word document will help you\"", "\" C:\\\\x \\\"q\\\" \xc3\xa9 \"");
    replace("\"opcomm\"=\"0\"", "\"opcomm\"=\"-1\"");
    replace("\"opmacrob\"=\"0\"", "\"opmacrob\"=\"2\"");
    replace("\"firstimage\"=\"\"", "\"firstimage\"=\"" + std::string(kImagePrompt) + "\"");
    replace("\"firstclick\"=\"0\"", "\"firstclick\"=\"1\"");
    replace("\"secondclick\"=\"0\"", "\"secondclick\"=\"1\"");
    replace("\"watertype\"=\"0\"", "\"watertype\"=\"1\"");
    replace("\"watereverysecond\"=\"60\"", "\"watereverysecond\"=\"007\"");
    replace("\"wateredissecond\"=\"5\"", "\"wateredissecond\"=\"\"");
    replace("\"waterstringtrans\"=\"2\"", "\"waterstringtrans\"=\"1\"");
    replace("000DMS Sans Serif", "0005Arial");
    replace("0000FFFF", "00ABCDEF");
    replace("\"waterhasdis\"=\"2\"", "\"waterhasdis\"=\"1\"");
    replace("\"waterappear\"=\"60\"", "\"waterappear\"=\"007\"");
    replace("\"waterdisappear\"=\"5\"", "\"waterdisappear\"=\"\"");
    EXPECT_EQ(ReadFile(path()), expected + "\r\n");
}

TEST_F(PageDefaults, NoKeyAtAllGivesTheLogoPageItsLoadDefaults) {
    OptionSet options;
    options.secondclick = 1;
    options.firstsec = "9";
    const LogoLoadReport logo = LoadLogoDefaults(store_, options);
    const OptionSet untouched = options;
    const LoadReport watermark = LoadWatermarkDefaults(store_, options, LoadMode::Start);
    const LoadReport general = LoadGeneralDefaults(store_, options, LoadMode::Start);
    EXPECT_TRUE(logo.opened && watermark.opened && general.opened);
    EXPECT_EQ(ReadFile(path()), std::string(kStart) + "\r\n");

    EXPECT_FALSE(options.changeicon || options.showfirstimage || options.showsecondimage);
    EXPECT_TRUE(options.firsttrans1 && options.firsttrans2);
    EXPECT_TRUE(options.secondtrans1 && options.secondtrans2);
    EXPECT_EQ(options.firstclick, 0);
    EXPECT_EQ(options.secondclick, 0);
    EXPECT_EQ(logo.secondClick, Click::CheckAutoClose);
    EXPECT_EQ(options.firstsec, "3");
    EXPECT_EQ(options.secondsec, "3");
    EXPECT_EQ(options.iconfilename, "");
    EXPECT_EQ(options.firstimage, kImagePrompt);
    EXPECT_TRUE(logo.firstImagePrompt);
    EXPECT_EQ(options.secondimage, "");
    EXPECT_TRUE(logo.repaired.empty());

    // The other two pages keep their initial values.
    EXPECT_EQ(FieldTexts(options), FieldTexts(untouched));
}

TEST_F(PageDefaults, GeneralNumbersListsRadiosAndFlags) {
    OptionSet options;
    options.opmacrob = 2;
    Stored(
        "\"opwidth\"=\"5\"\r\n\"opheigh\"=\"abc\"\r\n\"opcomm\"=\"9\"\r\n\"opmacrob\"=\"3\"\r\n"
        "\"opfilename\"=\"1 \"\r\n\"opmax\"=\"0\"\r\n\"opnoresi\"=\"1\"\r\n"
        "\"opweb\"=\"\"\r\n\"opfiletitle\"=\" t \"\r\n");
    LoadGeneralDefaults(store_, options, LoadMode::Button);
    EXPECT_EQ(options.opwidth, "10");
    EXPECT_EQ(options.opheigh, "480");
    EXPECT_EQ(options.opcomm, -1);
    EXPECT_EQ(options.opmacrob, 2);
    EXPECT_FALSE(options.opfilename);
    EXPECT_FALSE(options.opmax);
    EXPECT_TRUE(options.opnoresi);
    EXPECT_TRUE(options.opcopy);  // not stored: unchanged
    EXPECT_EQ(options.opweb, "");
    EXPECT_EQ(options.opfiletitle, " t ");

    // The list left without a selection is saved as -1.
    SaveGeneralDefaults(store_, options);
    store_.Open();
    EXPECT_EQ(store_.ReadString("opcomm"), "-1");

    Stored(
        "\"opwidth\"=\"abc\"\r\n\"opheigh\"=\"99999\"\r\n\"opcomm\"=\"x\"\r\n"
        "\"opmacrob\"=\"1\"\r\n");
    LoadGeneralDefaults(store_, options, LoadMode::Button);
    EXPECT_EQ(options.opwidth, "640");
    EXPECT_EQ(options.opheigh, "32767");
    EXPECT_EQ(options.opcomm, 0);
    EXPECT_EQ(options.opmacrob, 1);

    for (const auto& [text, width] :
         std::vector<std::pair<std::string, std::string>>{{"-5", "10"},
                                                          {"+20", "20"},
                                                          {" 20", "640"},
                                                          {"20 ", "640"},
                                                          {"0x20", "640"},
                                                          {"2147483648", "640"},
                                                          {"-2147483648", "10"},
                                                          {"0100", "100"},
                                                          {"", "640"}}) {
        Stored("\"opwidth\"=\"" + text + "\"\r\n");
        LoadGeneralDefaults(store_, options, LoadMode::Button);
        EXPECT_EQ(options.opwidth, width) << text;
    }
}

TEST_F(PageDefaults, LogoFlagsClicksAndSeconds) {
    OptionSet options;
    options.firsttrans1 = false;
    Stored(
        "\"changeicon\"=\"1 \"\r\n\"firsttrans1\"=\"\"\r\n\"firsttrans2\"=\"0\"\r\n"
        "\"firstclick\"=\"1\"\r\n\"firstsec\"=\"0\"\r\n\"secondsec\"=\"40000\"\r\n"
        "\"secondclick\"=\"1\"\r\n\"firstimage\"=\"/x/a.jpg\"\r\n\"secondimage\"=\"\"\r\n"
        "\"iconfilename\"=\"/x/i.ico\"\r\n\"showsecondimage\"=\"1\"\r\n");
    const LogoLoadReport report = LoadLogoDefaults(store_, options);
    EXPECT_FALSE(options.changeicon);
    EXPECT_TRUE(options.firsttrans1);
    EXPECT_FALSE(options.firsttrans2);
    EXPECT_EQ(options.firstclick, 1);
    EXPECT_EQ(options.firstsec, "1");
    EXPECT_EQ(options.secondsec, "32767");
    EXPECT_TRUE(options.showsecondimage);
    EXPECT_EQ(options.firstimage, "/x/a.jpg");
    EXPECT_FALSE(report.firstImagePrompt);
    EXPECT_EQ(options.secondimage, "");
    EXPECT_EQ(options.iconfilename, "/x/i.ico");

    // secondclick "1" unchecks "Auto close after" and leaves "Not close until mouse click" as it
    // was: from auto close, neither button is checked, which reads as mouse click.
    EXPECT_EQ(report.secondClick, Click::UncheckAutoClose);
    EXPECT_EQ(options.secondclick, 1);
    Stored("\"secondclick\"=\"2\"\r\n\"firstclick\"=\"x\"\r\n");
    EXPECT_EQ(LoadLogoDefaults(store_, options).secondClick, Click::CheckAutoClose);
    EXPECT_EQ(options.secondclick, 0);
    EXPECT_EQ(options.firstclick, 0);
}

TEST_F(PageDefaults, WatermarkLaterPairsFontsAndColours) {
    OptionSet options;
    Stored(
        "\"watereverysecond\"=\"30\"\r\n\"waterappear\"=\"45\"\r\n"
        "\"wateredissecond\"=\"x\"\r\n\"waterdisappear\"=\"x\"\r\n"
        "\"waterfont\"=\"00808000FFFFFFF0000C00600011000\"\r\n"
        "\"watercolor\"=\"00ff0000zz\"\r\n\"watertype\"=\"3\"\r\n"
        "\"waterstringposition\"=\"2\"\r\n\"waterstringhr\"=\"3\"\r\n"
        "\"waterstringver\"=\"2\"\r\n\"waterleft1\"=\"20000\"\r\n\"waterleft2\"=\"20000\"\r\n"
        "\"watertop1\"=\"-1\"\r\n\"waterstringtrans\"=\"2\"\r\n\"waterhasdis\"=\"1\"\r\n");
    LoadWatermarkDefaults(store_, options, LoadMode::Button);
    EXPECT_EQ(options.watereverysecond, "45");
    EXPECT_EQ(options.wateredissecond, "60");
    EXPECT_EQ(options.waterfont, DefaultWaterFont());  // 32 characters: unchanged
    EXPECT_EQ(options.watercolor, 0x00FF0000u);
    EXPECT_EQ(options.watertype, 0);
    EXPECT_EQ(options.waterstringposition, 2);
    EXPECT_EQ(options.waterstringhr, -1);
    EXPECT_EQ(options.waterstringver, 2);
    EXPECT_EQ(options.waterleft1, "10000");
    EXPECT_EQ(options.waterleft2, "20000");
    EXPECT_EQ(options.watertop1, "0");
    EXPECT_FALSE(options.waterstringtrans);
    EXPECT_TRUE(options.waterhasdis);

    Stored(
        "\"wateredissecond\"=\"x\"\r\n\"watereverysecond\"=\"007\"\r\n"
        "\"waterfont\"=\"000000FFFFFFFFF4000900782CC30003Ari\"\r\n"
        "\"watercolor\"=\"FF\"\r\n");
    LoadWatermarkDefaults(store_, options, LoadMode::Button);
    EXPECT_EQ(options.wateredissecond, "5");
    EXPECT_EQ(options.watereverysecond, "7");
    EXPECT_EQ(options.watercolor, 0xFFu);
    EXPECT_EQ(FontToText(options.waterfont), "000000FFFFFFFFF4000900782CC30003Ari");

    // Text that does not decode leaves colour alone; a font keeps the fields read before a bad
    // one.
    Stored(
        "\"watercolor\"=\"\"\r\n\"waterfont\"=\"00112233FFFFFFF0zzzz00600011000DMS Sans "
        "Serif\"\r\n");
    LoadWatermarkDefaults(store_, options, LoadMode::Button);
    EXPECT_EQ(options.watercolor, 0xFFu);
    EXPECT_EQ(options.waterfont.color, 0x00112233u);
    EXPECT_EQ(options.waterfont.name, "Ari");
}

TEST_F(PageDefaults, ValuesOfAnotherTypeOnEachPage) {
    // Logo setup: written back as its fallback text in its place, without an error.
    Stored(
        "\"firsttrans1\"=dword:00000000\r\n\"secondclick\"=dword:00000001\r\n"
        "\"firstimage\"=hex:41\r\n\"secondimage\"=dword:00000002\r\n"
        "\"secondtrans2\"=dword:00000000\r\n\"firstsec\"=hex:33\r\n");
    OptionSet logo;
    logo.secondtrans2 = false;
    logo.firstsec = "7";
    const LogoLoadReport report = LoadLogoDefaults(store_, logo);
    EXPECT_EQ(report.repaired,
              (std::vector<std::string>{"firstimage", "firsttrans1", "firstsec", "secondimage",
                                        "secondtrans2", "secondclick"}));
    EXPECT_EQ(ReadFile(path()), std::string(kStart) +
                                    "\"firsttrans1\"=\"1\"\r\n\"secondclick\"=\"1\"\r\n"
                                    "\"firstimage\"=\"\"\r\n\"secondimage\"=\"" +
                                    kImagePrompt +
                                    "\"\r\n\"secondtrans2\"=\"1\"\r\n\"firstsec\"=\"3\"\r\n\r\n");
    EXPECT_TRUE(logo.firsttrans1);
    EXPECT_EQ(report.secondClick, Click::UncheckMouseClick);
    EXPECT_EQ(logo.secondclick, 0);
    EXPECT_EQ(logo.firstimage, kImagePrompt);
    EXPECT_TRUE(report.firstImagePrompt);
    EXPECT_EQ(logo.secondimage, "");
    EXPECT_FALSE(logo.secondtrans2);
    EXPECT_EQ(logo.firstsec, "7");
    // Loaded again, the repaired values are ordinary texts.
    EXPECT_TRUE(LoadLogoDefaults(store_, logo).repaired.empty());

    // General option and Watermark: the button stops at the value after applying those before.
    Stored(
        "\"opfilename\"=\"0\"\r\n\"opwidth\"=dword:00000005\r\n\"opheigh\"=\"700\"\r\n"
        "\"watertype\"=\"1\"\r\n\"waterleft1\"=dword:00000005\r\n\"watertop1\"=\"9\"\r\n");
    OptionSet options;
    EXPECT_EQ(TypeError([](SettingsStore& s,
                           OptionSet& o) { LoadGeneralDefaults(s, o, LoadMode::Button); },
                        options),
              "Invalid data type for 'opwidth'");
    EXPECT_FALSE(options.opfilename);
    EXPECT_EQ(options.opheigh, "480");
    EXPECT_EQ(TypeError([](SettingsStore& s,
                           OptionSet& o) { LoadWatermarkDefaults(s, o, LoadMode::Button); },
                        options),
              "Invalid data type for 'waterleft1'");
    EXPECT_EQ(options.watertype, 1);
    EXPECT_EQ(options.watertop1, "0");

    // At start such a value is left alone and the load goes on; nothing is written.
    const std::string before = ReadFile(path());
    OptionSet start;
    EXPECT_EQ(LoadGeneralDefaults(store_, start, LoadMode::Start).skipped,
              std::vector<std::string>{"opwidth"});
    EXPECT_EQ(LoadWatermarkDefaults(store_, start, LoadMode::Start).skipped,
              std::vector<std::string>{"waterleft1"});
    EXPECT_EQ(start.opwidth, "640");
    EXPECT_EQ(start.opheigh, "700");
    EXPECT_EQ(start.watertop1, "9");
    EXPECT_EQ(ReadFile(path()), before);
}

TEST_F(PageDefaults, AKeyThatCannotBeReadChangesNothing) {
    ASSERT_EQ(::mkdir(path().c_str(), 0700), 0);
    OptionSet options;
    options.opwidth = "123";
    EXPECT_FALSE(LoadGeneralDefaults(store_, options, LoadMode::Button).opened);
    EXPECT_FALSE(LoadLogoDefaults(store_, options).opened);
    EXPECT_FALSE(LoadWatermarkDefaults(store_, options, LoadMode::Button).opened);
    EXPECT_EQ(options.opwidth, "123");
    EXPECT_EQ(options.firsttrans1, false);
    try {
        SaveLogoDefaults(store_, options);
        ADD_FAILURE() << "a save that wrote nothing reported success";
    } catch (const SettingsWriteError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'changeicon'");
    }
}

}  // namespace
}  // namespace quorlix
