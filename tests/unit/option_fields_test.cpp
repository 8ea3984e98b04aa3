#include "conversion/option_fields.h"

#include <gtest/gtest.h>

#include <set>

#include "conversion/font_text.h"
#include "platform/error.h"

namespace quorlix {
namespace {

std::string ErrorOf(OptionSet& options, const std::string& name, const std::string& value) {
    try {
        SetOptionField(options, name, value);
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(OptionFields, EveryFieldIsListedOnceAndReadsItsOwnText) {
    const auto& names = OptionFieldNames();
    EXPECT_EQ(names.size(), 50u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_EQ(names.front(), "opfilename");
    EXPECT_EQ(names.back(), "embedfontlist");

    const OptionSet defaults;
    OptionSet copy;
    copy.opweb = "changed";
    copy.waterfont.name = "changed";
    for (const std::string& name : names) {
        SetOptionField(copy, name, OptionFieldText(defaults, name));
    }
    EXPECT_EQ(OptionFieldText(copy, "opweb"), "http://www.dorvane.com");
    EXPECT_EQ(copy.waterfont, DefaultWaterFont());
    EXPECT_EQ(OptionFieldText(defaults, "watercolor"), "0000FFFF");
    EXPECT_EQ(OptionFieldText(defaults, "opcopy"), "1");
}

TEST(OptionFields, SetsEachKindFromText) {
    OptionSet o;
    SetOptionField(o, "opmax", "0");
    SetOptionField(o, "opcomm", "4");
    SetOptionField(o, "opwidth", "0800");
    SetOptionField(o, "opfiletitle", " - Report ");
    SetOptionField(o, "firstimage", "/pics/a b.jpg");
    SetOptionField(o, "watercolor", "00ff00aa");
    SetOptionField(o, "waterimagetrans", "100");
    SetOptionField(o, "waterfont", "000000FFFFFFFFF3000A00600021000AArial Nova");
    SetOptionField(o, "embedfontlist", "DejaVu Sans (TrueType)=DejaVuSans.ttf;Courier=a.pfm|a.pfb");
    EXPECT_FALSE(o.opmax);
    EXPECT_EQ(o.opcomm, 4);
    EXPECT_EQ(o.opwidth, "0800") << "numbers are kept as typed";
    EXPECT_EQ(o.opfiletitle, " - Report ");
    EXPECT_EQ(o.firstimage, "/pics/a b.jpg");
    EXPECT_EQ(o.watercolor, 0x00FF00AAu);
    EXPECT_EQ(o.waterimagetrans, 100);
    EXPECT_EQ(o.waterfont.name, "Arial Nova");
    EXPECT_EQ(o.waterfont.color, 0xFFu);
    EXPECT_EQ(o.waterfont.charset, 2);
    EXPECT_EQ(o.embedfontlist, (std::vector<FontEntry>{{"DejaVu Sans (TrueType)", "DejaVuSans.ttf"},
                                                       {"Courier", "a.pfm|a.pfb"}}));
    SetOptionField(o, "embedfontlist", "");
    EXPECT_TRUE(o.embedfontlist.empty());
}

TEST(OptionFields, RefusesWhatAFieldCannotHoldAndNamesIt) {
    OptionSet o;
    const OptionSet before;
    const std::pair<const char*, const char*> bad[] = {
        {"opmax", "yes"},
        {"opmax", ""},
        {"opcomm", "5"},
        {"opcomm", "-1"},
        {"opmacrob", "3"},
        {"firstclick", "2"},
        {"opwidth", "12a"},
        {"opwidth", ""},
        {"opwidth", "-5"},
        {"waterimagetrans", "101"},
        {"waterimagetrans", "x"},
        {"watercolor", "FFFF"},
        {"watercolor", "0000FFFG"},
        {"waterfont", "too short"},
        {"opweb", "a\nb"},
        {"embedfontlist", "NoFile"},
        {"embedfontlist", "=x.ttf"},
    };
    for (const auto& [name, value] : bad) {
        const std::string error = ErrorOf(o, name, value);
        EXPECT_NE(error.find(std::string("\"") + name + "\""), std::string::npos)
            << name << "=" << value << ": " << error;
    }
    EXPECT_NE(ErrorOf(o, "waterfont", "00112233FFFFFFF0000C00G00011000DMS Sans Serif")
                  .find("pixels per inch"),
              std::string::npos);
    EXPECT_EQ(o.waterfont, before.waterfont) << "a failed font leaves the field as it was";
    EXPECT_EQ(OptionFieldText(o, "opwidth"), "640");
    EXPECT_EQ(ErrorOf(o, "opwidht", "640"), "Unknown option field \"opwidht\"");
    EXPECT_THROW(OptionFieldText(o, "nothing"), Error);
}

}  // namespace
}  // namespace quorlix
