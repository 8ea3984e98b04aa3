#include "conversion/font_text.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace quorlix {
namespace {

constexpr const char* kDefaultFontText = "00808000FFFFFFF0000C00600011000DMS Sans Serif";

std::string ErrorOf(const std::string& text, FontSpec& font) {
    try {
        TextToFont(text, font);
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(FontText, DefaultWaterFontWritesAndReadsBack) {
    EXPECT_EQ(FontToText(DefaultWaterFont()), kDefaultFontText);

    FontSpec font;
    font.name = "Arial";
    TextToFont(kDefaultFontText, font);
    EXPECT_EQ(font, DefaultWaterFont());
    EXPECT_EQ(ColourToText(0x0000FFFF), "0000FFFF");
}

TEST(FontText, FieldWidthsPadButNeverCut) {
    FontSpec font;
    font.color = 0x00ABCDEF;
    font.height = 20;
    font.size = 0x12345;
    font.pixelsPerInch = 120;
    font.pitch = 2;
    font.charset = 204;
    font.style = FontSpec::kItalic | FontSpec::kUnderline | FontSpec::kStrikeOut;
    font.name = "Arial Nova";
    EXPECT_EQ(FontToText(font),
              "00ABCDEF"
              "00000014"
              "12345"
              "0078"
              "2"
              "CC"
              "E"
              "000A"
              "Arial Nova");
}

TEST(FontText, SizeSetsHeightFromThePixelsPerInchHeldBeforeTheField) {
    FontSpec font;
    font.pixelsPerInch = 72;
    TextToFont(kDefaultFontText, font);
    EXPECT_EQ(font.height, -12) << "12 points at the 72 ppi the font held";
    EXPECT_EQ(font.pixelsPerInch, 96);

    FontSpec rounded;
    TextToFont(
        "00000000"
        "00000000"
        "000B"
        "0060"
        "0"
        "00"
        "0"
        "0005"
        "Arial",
        rounded);
    EXPECT_EQ(rounded.height, -15) << "11 points at 96 ppi is 14.67";
    EXPECT_EQ(rounded.size, 11);
    EXPECT_EQ(rounded.pixelsPerInch, 0x60);
    EXPECT_EQ(rounded.charset, 0);
    EXPECT_EQ(rounded.style, 0);
    EXPECT_EQ(rounded.name, "Arial");
}

TEST(FontText, ShortTextFailsAndLeavesTheFontAlone) {
    FontSpec font = DefaultWaterFont();
    font.name = "Keep";
    const std::string fixed =
        "000000FF"
        "FFFFFFF2"
        "000A"
        "0078"
        "0"
        "12"
        "B"
        "0000"
        "-";
    EXPECT_EQ(ErrorOf(fixed.substr(0, 32), font), "Error Font Format String");
    FontSpec unchanged = DefaultWaterFont();
    unchanged.name = "Keep";
    EXPECT_EQ(font, unchanged);
    EXPECT_EQ(ErrorOf("", font), "Error Font Format String");

    ASSERT_EQ(fixed.size(), 33u);
    // 33 characters with a name length of 0: every field but the name is set.
    TextToFont(fixed, font);
    EXPECT_EQ(font.color, 0x000000FFu);
    EXPECT_EQ(font.size, 10);
    EXPECT_EQ(font.height, -13) << "10 points at 96 ppi";
    EXPECT_EQ(font.pixelsPerInch, 0x78);
    EXPECT_EQ(font.pitch, 0);
    EXPECT_EQ(font.charset, 0x12);
    EXPECT_EQ(font.style, 0xB);
    EXPECT_EQ(font.name, "Keep");
}

TEST(FontText, FieldThatIsNotHexadecimalKeepsTheFieldsBeforeIt) {
    FontSpec font;
    font.name = "Old";
    const std::string error = ErrorOf("00112233FFFFFFF0000C00G00011000DMS Sans Serif", font);
    EXPECT_NE(error.find("pixels per inch"), std::string::npos) << error;
    EXPECT_NE(error.find("00G0"), std::string::npos) << error;
    EXPECT_EQ(font.color, 0x00112233u);
    EXPECT_EQ(font.size, 12);
    EXPECT_EQ(font.height, -16);
    EXPECT_EQ(font.pixelsPerInch, 96) << "not applied";
    EXPECT_EQ(font.style, 0);
    EXPECT_EQ(font.name, "Old");

    FontSpec other;
    EXPECT_NE(ErrorOf("-0808000FFFFFFF0000C00600011000DMS Sans Serif", other), "no error");
    EXPECT_EQ(other, FontSpec{}) << "a sign is not a hexadecimal digit";
}

TEST(FontText, NameIsCutToItsLengthFieldAndTo31Characters) {
    FontSpec font;
    TextToFont("00000000FFFFFFF0000C006000110004ArialNarrow", font);
    EXPECT_EQ(font.name, "Aria");

    TextToFont("00000000FFFFFFF0000C006000110020Arial", font);
    EXPECT_EQ(font.name, "Arial") << "the text ends sooner than the length says";

    const std::string longName(40, 'x');
    FontSpec wide;
    wide.name = longName;
    TextToFont(FontToText(wide), font);
    EXPECT_EQ(font.name, std::string(31, 'x'));

    FontSpec accented;
    accented.name = "Ærø Sans";  // 8 characters, 10 bytes
    EXPECT_EQ(FontToText(accented).substr(28, 4), "0008");
    TextToFont(FontToText(accented), font);
    EXPECT_EQ(font.name, "Ærø Sans");
}

TEST(FontText, NegativeSizeWrittenInFullReadsBack) {
    FontSpec font = DefaultWaterFont();
    font.size = -12;
    font.height = 16;
    const std::string text = FontToText(font);
    EXPECT_EQ(text, "0080800000000010FFFFFFF400600011000DMS Sans Serif");

    FontSpec back;
    TextToFont(text, back);
    EXPECT_EQ(back, font);
}

}  // namespace
}  // namespace quorlix

namespace quorlix {
namespace {

TEST(FontText, LongSizeFieldIsReadInEitherCase) {
    FontSpec upper;
    TextToFont("000000FFFFFFFFF2FFFFFFF60060012B0005Arial", upper);
    FontSpec lower;
    TextToFont("000000fffffffff2fFfFfff60060012b0005Arial", lower);
    EXPECT_EQ(upper.size, -10);
    EXPECT_EQ(lower, upper);
}

}  // namespace
}  // namespace quorlix
