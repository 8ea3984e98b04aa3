#include "common/entry_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorlix {
namespace {

using Parts = std::vector<std::string>;

TEST(EntryName, SplitsRelativeNamesAtBackslashes) {
    EXPECT_EQ(SplitEntryName("option\\winoptions.dll"), (Parts{"option", "winoptions.dll"}));
    EXPECT_EQ(SplitEntryName("myfont\\DejaVu Sans.ttf"), (Parts{"myfont", "DejaVu Sans.ttf"}));
    EXPECT_EQ(SplitEntryName("logo.jpg"), (Parts{"logo.jpg"}));
    EXPECT_EQ(SplitEntryName("a\\b\\c\\..d"), (Parts{"a", "b", "c", "..d"}));
    EXPECT_EQ(SplitEntryName("CONSOLE.txt"), (Parts{"CONSOLE.txt"}));
    EXPECT_EQ(SplitEntryName("COM0"), (Parts{"COM0"}));
    EXPECT_EQ(SplitEntryName("\xC3\xA9t\xC3\xA9.png"), (Parts{"\xC3\xA9t\xC3\xA9.png"}));
    EXPECT_EQ(SplitEntryName(std::wstring_view(L"option\\1.png")),
              (std::vector<std::wstring>{L"option", L"1.png"}));
}

TEST(EntryName, RefusesNamesThatLeaveTheFolderOrAreNoPlainFileNames) {
    for (const char* name : {"",
                             "..",
                             ".",
                             "..\\evil.exe",
                             "option\\..\\..\\evil.exe",
                             "option\\.\\a",
                             "\\abs.txt",
                             "\\\\server\\share\\x",
                             "C:\\Windows\\x.dll",
                             "C:x.dll",
                             "a:stream",
                             "option\\",
                             "option\\\\a",
                             "a/b",
                             "../x",
                             "a\\b.",
                             "a\\b ",
                             "a\x01.txt",
                             "a|b",
                             "a*b",
                             "a?b",
                             "a<b",
                             "a>b",
                             "a\"b",
                             "CON",
                             "con.txt",
                             "option\\NUL",
                             "Lpt1.dll",
                             "com9"}) {
        EXPECT_FALSE(SplitEntryName(std::string_view(name)).has_value()) << name;
    }
    EXPECT_FALSE(SplitEntryName(std::wstring_view(L"..\\x")).has_value());
    EXPECT_FALSE(SplitEntryName(std::wstring_view(L"D:\\x")).has_value());
}

}  // namespace
}  // namespace quorlix
