#include "conversion/travelling_names.h"

#include <gtest/gtest.h>

#include "conversion/option_files.h"
#include "package/player_names.h"
#include "support/scoped_environment.h"

namespace quorlix {
namespace {

using test::ScopedEnvironment;

OptionSet WithFonts(const std::vector<std::string>& fileEntries) {
    OptionSet options;
    options.embedfonts = true;
    for (const std::string& file : fileEntries) {
        options.embedfontlist.push_back({"Font " + file, file});
    }
    return options;
}

TEST(TravellingNames, PictureExtensionsThePlayerRefusesKeepOnlyLettersAndDigits) {
    const ScopedEnvironment locale("LC_ALL", "en_US.UTF-8");
    EXPECT_EQ(TravellingExtension("option\\1", ".png"), ".png");
    EXPECT_EQ(TravellingExtension("option\\1", "."), "");
    EXPECT_EQ(TravellingExtension("option\\1", ".png "), ".png");
    EXPECT_EQ(TravellingExtension("option\\1", ".p:ng"), ".png");
    EXPECT_EQ(TravellingExtension("option\\1", ".p\tng"), ".png");
    EXPECT_EQ(TravellingExtension("option\\2", ".jpg\xE5\xAD\x97"), ".jpg");  // 字
    OptionSet options;
    options.firstimage = "/pics/img.";
    options.secondimage = "/pics/img.p:ng";
    EXPECT_EQ(FirstImageEntryName(options), "option\\1");
    EXPECT_EQ(SecondImageEntryName(options), "option\\2.png");
    EXPECT_EQ(Trmack2Lines(options).front(), "option\\2.png");
}

TEST(TravellingNames, FontsWhoseNamesCannotTravelGetNumberedNamesInEntryAndTrmacke2) {
    const ScopedEnvironment locale("LC_ALL", "en_US.UTF-8");
    // 字体.ttf has no characters in code page 1252; font2.ttf is taken by the third file.
    const OptionSet options =
        WithFonts({"/f/\xE5\xAD\x97\xE4\xBD\x93.ttf", "/f/ok.pfm|/f/bad.pfb ", "/f/font2.ttf"});
    EXPECT_EQ(FontPackNames(options),
              (std::vector<std::string>{"font1.ttf", "ok.pfm", "font3.pfb", "font2.ttf"}));
    EXPECT_EQ(Trmacke2Lines(options),
              (std::vector<std::string>{"1", "font1.ttf", "ok.pfm|font3.pfb", "font2.ttf"}));

    const OptionSet clash = WithFonts({"/f/a:b.ttf", "/f/font1.ttf"});
    EXPECT_EQ(FontPackNames(clash), (std::vector<std::string>{"font1_.ttf", "font1.ttf"}));
}

TEST(TravellingNames, AFontWhoseSecondByteIsABarInCodePage932IsRenamed) {
    const ScopedEnvironment locale("LC_ALL", "ja_JP.UTF-8");
    // ポ is 0x83 0x7C in code page 932: its second byte would split the directory line.
    EXPECT_NE(Utf8EntryNameProblem("myfont\\\xE3\x83\x9D.ttf"), "");
    EXPECT_EQ(EntryNameProblem(std::string("myfont\\\x83\x7C.ttf")).empty(), false);
    EXPECT_EQ(FontPackNames(WithFonts({"/f/\xE3\x83\x9D.ttf"})),
              (std::vector<std::string>{"font1.ttf"}));
    // 表 is 0x95 0x5C: a second byte '\' decodes back to the same name, so it travels.
    EXPECT_EQ(Utf8EntryNameProblem("myfont\\\xE8\xA1\xA8.ttf"), "");
    EXPECT_NE(Utf8EntryNameProblem("myfont\\" + std::string(300, 'a') + ".ttf"), "");
    EXPECT_NE(Utf8EntryNameProblem("~~~.TXT"), "");
}

}  // namespace
}  // namespace quorlix
