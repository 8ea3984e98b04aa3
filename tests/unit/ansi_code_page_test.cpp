#include "platform/ansi_code_page.h"

#include <gtest/gtest.h>

#include <system_error>

#include "support/scoped_environment.h"

namespace quorlix {
namespace {

using test::ScopedEnvironment;

TEST(AnsiCodePage, LocaleNamesGiveTheirWindowsCodePage) {
    const std::pair<const char*, int> table[] = {
        {"ru_RU.UTF-8", 1251},
        {"ja_JP", 932},
        {"pl_PL", 1250},
        {"el_GR.UTF-8", 1253},
        {"tr_TR", 1254},
        {"he_IL.UTF-8", 1255},
        {"ar_EG", 1256},
        {"lt_LT", 1257},
        {"lv_LV", 1257},
        {"et_EE", 1257},
        {"vi_VN", 1258},
        {"th_TH.UTF-8", 874},
        {"zh_CN.GB18030", 936},
        {"zh_SG", 936},
        {"ko_KR.EUC-KR", 949},
        {"zh_TW.UTF-8", 950},
        {"zh_HK", 950},
        {"cs_CZ", 1250},
        {"hu_HU", 1250},
        {"sk_SK", 1250},
        {"uk_UA.UTF-8", 1251},
        {"bg_BG", 1251},
        {"sr_RS", 1251},
        {"sr_RS@latin", 1250},
        {"de_DE@euro", 1252},
        {"en_US.UTF-8", 1252},
        {"fr", 1252},
        {"C", 1252},
        {"C.UTF-8", 1252},
        {"POSIX", 1252},
        {"", 1252},
        {"RU_ru", 1251},
    };
    for (const auto& [locale, codePage] : table) {
        EXPECT_EQ(AnsiCodePageOfLocale(locale), codePage) << locale;
    }
}

TEST(AnsiCodePage, FirstSetVariableDecidesInstalledOrNot) {
    ScopedEnvironment all("LC_ALL", std::nullopt);
    ScopedEnvironment ctype("LC_CTYPE", std::nullopt);
    ScopedEnvironment lang("LANG", std::nullopt);
    EXPECT_EQ(AnsiCodePage(), 1252);
    {
        ScopedEnvironment l("LANG", "ja_JP.UTF-8");
        EXPECT_EQ(AnsiCodePage(), 932);
        ScopedEnvironment c("LC_CTYPE", "el_GR");
        EXPECT_EQ(AnsiCodePage(), 1253);
        ScopedEnvironment a("LC_ALL", "vi_VN.NOT-INSTALLED");
        EXPECT_EQ(AnsiCodePage(), 1258);
    }
    ScopedEnvironment a("LC_ALL", "POSIX");
    ScopedEnvironment l("LANG", "ru_RU.UTF-8");
    EXPECT_EQ(AnsiCodePage(), 1252);
}

TEST(AnsiCodePage, OneQuestionMarkPerCharacterOutsideTheCodePage) {
    EXPECT_EQ(ToAnsi("Café €", 1252), "Caf\xE9 \x80");
    EXPECT_EQ(ToAnsi("日本 x", 1252), "?? x");
    EXPECT_EQ(ToAnsi("a\xF0\x9F\x98\x80"
                     "b",
                     1252),
              "a?b")
        << "a 4-byte character";
    EXPECT_EQ(ToAnsi("Привет", 1251), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(ToAnsi("Привет", 1250), "??????");
    EXPECT_EQ(ToAnsi("日本", 932), "\x93\xFA\x96\x7B");
    EXPECT_EQ(ToAnsi("", 1252), "");
    const std::string big(5000, 'x');
    EXPECT_EQ(ToAnsi(big + "ж", 1252), big + "?");
}

TEST(AnsiCodePage, MalformedUtf8IsHandledSafely) {
    EXPECT_EQ(ToAnsi("a\xFF"
                     "b",
                     1252),
              "a?b");
    EXPECT_EQ(ToAnsi("a\xC3", 1252), "a?") << "cut short at the end";
    EXPECT_EQ(ToAnsi("\xE2\x82", 1252), "??");
    EXPECT_EQ(ToAnsi("\xED\xA0\x80"
                     "z",
                     1252),
              "???z")
        << "a surrogate";
    EXPECT_EQ(ToAnsi(std::string("a\0b", 3), 1252), std::string("a\0b", 3));
}

TEST(AnsiCodePage, FromAnsiReversesTheConversion) {
    EXPECT_EQ(FromAnsi("Caf\xE9 \x80", 1252), "Café €");
    EXPECT_EQ(FromAnsi("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), "Привет");
    EXPECT_EQ(FromAnsi("\x93\xFA\x96\x7B", 932), "日本");
    EXPECT_EQ(FromAnsi("a\x81"
                       "b",
                       1252),
              "a?b")
        << "0x81 has no character in 1252";
    EXPECT_EQ(FromAnsi("a\x93", 932), "a?") << "a lead byte without its trail byte";

    ScopedEnvironment all("LC_ALL", "pl_PL.UTF-8");
    EXPECT_EQ(ToAnsi("Łódź"), "\xA3\xF3\x64\x9F");
    EXPECT_EQ(FromAnsi("\xA3\xF3\x64\x9F"), "Łódź");
}

TEST(AnsiCodePage, AConverterThatCannotBeOpenedIsNamed) {
    for (const bool toAnsi : {true, false}) {
        try {
            toAnsi ? ToAnsi("x", 99999) : FromAnsi("x", 99999);
            ADD_FAILURE() << "converted";
        } catch (const std::system_error& e) {
            EXPECT_EQ(e.code(), std::errc::invalid_argument);
            EXPECT_EQ(std::string(e.what()),
                      std::string("the converter from ") +
                          (toAnsi ? "UTF-8 to CP99999" : "CP99999 to UTF-8") +
                          " cannot be opened (the system has none, or could not load it): Invalid "
                          "argument");
        }
    }
}

}  // namespace
}  // namespace quorlix
