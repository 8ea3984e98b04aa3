#include "platform/registry_text.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace quorlix {
namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00\r\n";

std::string ParseError(const std::string& text) {
    try {
        ParseRegistryText(text);
    } catch (const Error& error) {
        return error.what();
    }
    return "parsed";
}

TEST(RegistryText, WritesEachTypeInExportForm) {
    RegistryFile file;
    file.keys.push_back({"HKEY_CURRENT_USER\\SOFTWARE\\a", {}});
    auto& values = file.keys[0].values;
    values.push_back({"plain", kRegString, "C:\\dir \"x\" "});
    values.push_back({"", kRegString, ""});
    values.push_back({"count", kRegDword, std::string("\x0a\x00\x00\x80", 4)});
    values.push_back({"bytes", kRegBinary, std::string("\x00\xff\x10", 3)});
    values.push_back({"multi", 7, "ab"});
    values.push_back({"broken\"name\\", kRegString, "two\r\nlines"});
    file.keys.push_back(
        {"HKEY_CURRENT_USER\\SOFTWARE\\b", {{"t", kRegString, "\xc3\xa9t\xc3\xa9"}}});

    const std::string expected = std::string(kHeader) +
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\SOFTWARE\\a]\r\n"
                                 "\"plain\"=\"C:\\\\dir \\\"x\\\" \"\r\n"
                                 "@=\"\"\r\n"
                                 "\"count\"=dword:8000000a\r\n"
                                 "\"bytes\"=hex:00,ff,10\r\n"
                                 "\"multi\"=hex(7):61,62\r\n"
                                 "\"broken\\\"name\\\\\"=hex(1):74,77,6f,0d,0a,6c,69,6e,65,73\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\SOFTWARE\\b]\r\n"
                                 "\"t\"=\"\xc3\xa9t\xc3\xa9\"\r\n"
                                 "\r\n";
    EXPECT_EQ(RegistryText(file), expected);
    EXPECT_EQ(ParseRegistryText(expected), file);
}

TEST(RegistryText, ReadsHandWrittenVariants) {
    // A byte order mark, LF line ends, comments, blanks, continued hex, short dwords, a repeated
    // name and a repeated key in other letter case.
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n"
        "; a comment\n"
        "\n"
        "  [HKEY_CURRENT_USER\\Software\\A]  \n"
        "\"x\" = \"1\"  \n"
        "\"bin\"=hex:01, 02,\\\n"
        "    03\n"
        "\"d\"=dword:a\n"
        "\"X\"=\"2\"\n"
        "[hkey_current_user\\software\\a]\n"
        "\"y\"=hex(2):\n";
    const RegistryFile file = ParseRegistryText(text);
    ASSERT_EQ(file.keys.size(), 1u);
    const std::vector<RegistryValue> expected = {
        {"x", kRegString, "2"},
        {"bin", kRegBinary, "\x01\x02\x03"},
        {"d", kRegDword, std::string("\x0a\0\0\0", 4)},
        {"y", 2, ""},
    };
    EXPECT_EQ(file.keys[0].values, expected);
    EXPECT_EQ(ParseRegistryText(kHeader).keys.size(), 0u);
}

TEST(RegistryText, RefusesWhatIsNotAnExportWithItsLine) {
    EXPECT_EQ(ParseError(""),
              "line 1: the file does not start with \"Windows Registry Editor "
              "Version 5.00\"");
    EXPECT_EQ(ParseError("REGEDIT4\r\n"), ParseError(""));
    const std::string key = std::string(kHeader) + "[K]\r\n";
    EXPECT_EQ(ParseError(std::string(kHeader) + "\"a\"=\"b\"\r\n"),
              "line 2: a value before the first key");
    EXPECT_EQ(ParseError(key + "\"a\"=\"b\r\n"), "line 3: a quoted text has no closing quote");
    EXPECT_EQ(ParseError(key + "\"a\"=\"b\\n\"\r\n"),
              "line 3: a backslash in a quoted text must be followed by \\ or \"");
    EXPECT_EQ(ParseError(key + "\"a\"=\"b\" x\r\n"), "line 3: unexpected text after the value");
    EXPECT_EQ(ParseError(key + "\"a\"=dword:\r\n"),
              "line 3: expected 1 to 8 hexadecimal digits after dword:");
    EXPECT_EQ(ParseError(key + "\"a\"=dword:123456789\r\n"),
              "line 3: unexpected text after the value");
    EXPECT_EQ(ParseError(key + "\"a\"=hex:01 02\r\n"),
              "line 3: expected ',' between hexadecimal bytes");
    EXPECT_EQ(ParseError(key + "\"a\"=hex:01,,02\r\n"), "line 3: expected a hexadecimal byte");
    EXPECT_EQ(ParseError(key + "\"a\"=hex:01,\\\r\n"),
              "line 3: the file ends inside a hexadecimal value");
    EXPECT_EQ(ParseError(key + "\"a\"=hex(x):01\r\n"),
              "line 3: expected hex(type): with a hexadecimal type");
    EXPECT_EQ(ParseError(key + "\"a\"=-\r\n"),
              "line 3: expected a quoted text, dword: or hex: after '='");
    EXPECT_EQ(ParseError(key + "\"a\"\r\n"), "line 3: expected '=' after the value name");
    EXPECT_EQ(ParseError(key + "a=\"b\"\r\n"),
              "line 3: expected a key in [ ], a quoted value name or @");
    EXPECT_EQ(ParseError(key + "[-K]\r\n"), "line 3: expected a key name in [ ]");
    EXPECT_EQ(ParseError(key + "[K\r\n"), "line 3: a key name has no closing ']'");
}

TEST(RegistryText, EveryByteOfAStringSurvivesAWriteAndRead) {
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    const RegistryFile file{{{"K", {{"all", kRegString, all}, {"tab \t", kRegString, " \t "}}}}};
    const std::string text = RegistryText(file);
    EXPECT_NE(text.find("\"tab \t\"=\" \t \"\r\n"), std::string::npos);
    EXPECT_EQ(ParseRegistryText(text), file);
}

TEST(RegistryText, LargeFilesKeepEveryKeyAndValueInFirstPlaceWithTheLastData) {
    // 40,000 keys, then one key of 60,000 values; every key and every value comes twice, the
    // second time in other letter case with new data.
    constexpr int kKeys = 40000;
    constexpr int kValues = 60000;
    std::string text = kHeader;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kKeys; ++i) {
            text += (pass == 0 ? "[K" : "[k") + std::to_string(i) + "]\r\n\"v\"=\"" +
                    std::to_string(pass) + "\"\r\n";
        }
        text += pass == 0 ? "[Many]\r\n" : "[MANY]\r\n";
        for (int i = 0; i < kValues; ++i) {
            text += (pass == 0 ? "\"n" : "\"N") + std::to_string(i) +
                    "\"=dword:" + std::to_string(pass) + "\r\n";
        }
    }
    const RegistryFile file = ParseRegistryText(text);
    ASSERT_EQ(file.keys.size(), std::size_t{kKeys} + 1);
    for (int i = 0; i < kKeys; i += 997) {
        const RegistryKey& key = file.keys[static_cast<std::size_t>(i)];
        EXPECT_EQ(key.path, "K" + std::to_string(i));
        EXPECT_EQ(key.values, (std::vector<RegistryValue>{{"v", kRegString, "1"}}));
    }
    const RegistryKey& many = file.keys.back();
    EXPECT_EQ(many.path, "Many");
    ASSERT_EQ(many.values.size(), std::size_t{kValues});
    for (int i = 0; i < kValues; i += 1009) {
        const RegistryValue& value = many.values[static_cast<std::size_t>(i)];
        EXPECT_EQ(value.name, "n" + std::to_string(i));
        EXPECT_EQ(value.type, kRegDword);
        EXPECT_EQ(value.data, std::string("\x01\0\0\0", 4));
    }
}

}  // namespace
}  // namespace quorlix
