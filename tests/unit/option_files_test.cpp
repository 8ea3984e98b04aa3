#include "conversion/option_files.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/file_system.h"
#include "support/scoped_environment.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;

// The bytes of the lines as they land on disk.
std::string OnDisk(const std::vector<std::string>& lines) {
    TestFolder dir;
    WriteTextLines(dir / "option.dll", lines);
    return test::ReadFile(dir / "option.dll");
}

TEST(OptionFiles, DefaultOptionSetWritesEveryFileByteForByte) {
    test::ScopedEnvironment locale("LC_ALL", "C.UTF-8");
    const OptionSet o;
    EXPECT_EQ(OnDisk(WinsetbrowerLines(o, "/tmp/quorlix-1/~~~.txt", false, false)),
              "~~~~~.txt\r\n0\r\n0\r\n");
    EXPECT_EQ(OnDisk(WateroptionsLines(o, false)), "0\r\n");
    EXPECT_EQ(OnDisk(WinoptionsLines(o, "/home/ann/docs/Plan.docx")),
              "Plan-This Word document will help you\r\n640\r\n480\r\n1\r\n2\r\n"
              "http://www.dorvane.com\r\n2\r\n2\r\n9\r\n1\r\n1\r\n1\r\n1\r\n1\r\n\r\n2\r\n");
    EXPECT_EQ(OnDisk(Trmack1Lines(o)), "option\\1\r\n0\r\n1\r\n3\r\n0\r\n0\r\n");
    EXPECT_EQ(OnDisk(Trmack2Lines(o)), "option\\2\r\n0\r\n1\r\n3\r\n0\r\n0\r\n");
    EXPECT_EQ(OnDisk(Trmacke1Lines(o)), "0\r\n");
    EXPECT_EQ(OnDisk(Trmacke2Lines(o)), "0\r\n");
}

TEST(OptionFiles, TextWatermarkHasFourteenLines) {
    OptionSet o;
    o.watertype = 1;
    o.watertext = "Draft";
    o.waterleft1 = "12";
    o.watertop1 = "34";
    o.waterstringtrans = true;
    o.waterstringposition = 2;
    o.waterhasdis = true;
    o.waterstringhr = 1;
    o.waterstringver = 2;
    EXPECT_EQ(OnDisk(WateroptionsLines(o, false)),
              "1\r\nhttp://www.dorvane.com\r\nDraft\r\n12\r\n34\r\n60\r\n5\r\n1\r\n"
              "00808000FFFFFFF0000C00600011000DMS Sans Serif\r\n0000FFFF\r\n2\r\n1\r\n1\r\n2\r\n");

    o.waterstringposition = 5;  // no position button set
    const auto lines = WateroptionsLines(o, false);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[10], "0");
}

TEST(OptionFiles, ImageWatermarkNeedsItsFile) {
    OptionSet o;
    o.watertype = 2;
    o.waterimagefile = "/pics/mark.jpg";
    o.waterleft2 = "15";
    o.watertop2 = "40000";
    o.waterimagetrans = 35;
    EXPECT_EQ(OnDisk(WateroptionsLines(o, true)),
              "2\r\nhttp://www.dorvane.com\r\n15\r\n40000\r\n35\r\n");
    EXPECT_EQ(OnDisk(WateroptionsLines(o, false)), "0\r\n");
}

TEST(OptionFiles, LogoImagesWithEachClosingMode) {
    OptionSet o;
    o.showfirstimage = true;
    o.firstimage = "/pics/photo.jpg";
    o.firsttrans1 = true;
    o.firstclick = 0;
    o.firstsec = "7";
    o.showsecondimage = true;
    o.secondimage = "/pics/bye.PNG";
    o.secondtrans2 = true;
    o.secondclick = 1;
    EXPECT_EQ(FirstImageEntryName(o), "option\\1.jpg");
    EXPECT_EQ(OnDisk(Trmack1Lines(o)), "option\\1.jpg\r\n1\r\n1\r\n7\r\n0\r\n0\r\n");
    EXPECT_EQ(OnDisk(Trmack2Lines(o)), "option\\2.PNG\r\n0\r\n0\r\n3\r\n1\r\n1\r\n");

    o.firstclick = 1;
    o.secondclick = 0;
    EXPECT_EQ(OnDisk(Trmack1Lines(o)), "option\\1.jpg\r\n1\r\n0\r\n7\r\n1\r\n0\r\n");
    EXPECT_EQ(OnDisk(Trmack2Lines(o)), "option\\2.PNG\r\n0\r\n1\r\n3\r\n0\r\n1\r\n");

    EXPECT_EQ(OnDisk(WinsetbrowerLines(o, "/t/~~~.txt", true, true)), "~~~~~.txt\r\n1\r\n1\r\n");
    EXPECT_EQ(OnDisk(WinsetbrowerLines(o, "/t/~~~.txt", false, true)), "~~~~~.txt\r\n0\r\n1\r\n");
    o.showsecondimage = false;
    EXPECT_EQ(OnDisk(WinsetbrowerLines(o, "/t/~~~.txt", true, true)), "~~~~~.txt\r\n1\r\n0\r\n");
}

TEST(OptionFiles, EmbeddedFontsOneFileAndTwoFile) {
    OptionSet o;
    o.embedfontlist = {{"DejaVu Sans (TrueType)", "/usr/share/fonts/truetype/DejaVuSans.ttf"},
                       {"Courier (Type 1)", "a.pfm|/opt/type1/a.pfb"}};
    EXPECT_EQ(OnDisk(Trmacke1Lines(o)), "0\r\n") << "the list counts only with embedfonts";
    EXPECT_EQ(OnDisk(Trmacke2Lines(o)), "0\r\n");

    o.embedfonts = true;
    EXPECT_EQ(OnDisk(Trmacke1Lines(o)), "1\r\nDejaVu Sans (TrueType)\r\nCourier (Type 1)\r\n");
    EXPECT_EQ(OnDisk(Trmacke2Lines(o)), "1\r\nDejaVuSans.ttf\r\na.pfm|a.pfb\r\n");
    EXPECT_EQ(FontEntryFiles(o.embedfontlist[1]),
              (std::vector<std::string>{"a.pfm", "/opt/type1/a.pfb"}));
}

TEST(OptionFiles, WinoptionsLinesFollowTheirOptions) {
    OptionSet o;
    o.opcomm = 4;
    EXPECT_EQ(WinoptionsLines(o, "a.doc")[8], "14");
    o.opcomm = 3;
    EXPECT_EQ(WinoptionsLines(o, "a.doc")[8], "12");
    o.opcomm = -1;
    EXPECT_EQ(WinoptionsLines(o, "a.doc")[8], "9") << "no version selected";
    o.opcomm = 5;
    EXPECT_EQ(WinoptionsLines(o, "a.doc").size(), 16u);

    o.opcopy = false;
    o.opmacrob = 2;
    o.opmacrobme = " \t  Turn macros on, please.\x01  ";
    o.opfilename = false;
    o.opmax = false;
    o.opsave = true;
    const auto lines = WinoptionsLines(o, "/docs/Plan.doc");
    EXPECT_EQ(lines[0], "-This Word document will help you");
    EXPECT_EQ(lines[3], "2");
    EXPECT_EQ(lines[12], "2");
    EXPECT_EQ(lines[13], "3");
    EXPECT_EQ(lines[14], "Turn macros on, please.");
    EXPECT_EQ(lines[15], "1");

    o.opcopy = true;
    EXPECT_EQ(WinoptionsLines(o, "/docs/Plan.doc")[14], "") << "the test is on opcopy";
}

TEST(OptionFiles, TextOutsideTheCodePageBecomesQuestionMarks) {
    OptionSet o;
    o.opfiletitle = "";
    {
        test::ScopedEnvironment locale("LC_ALL", "C.UTF-8");
        EXPECT_EQ(OnDisk(WinoptionsLines(o, "/docs/Отчёт €5.docx")).substr(0, 10),
                  "????? \x80"
                  "5\r\n");
    }
    {
        test::ScopedEnvironment locale("LC_ALL", "ru_RU.UTF-8");
        EXPECT_EQ(OnDisk(WinoptionsLines(o, "/docs/Отчёт €5.docx")).substr(0, 10),
                  "\xCE\xF2\xF7\xB8\xF2 \x88"
                  "5\r\n");
    }
}

TEST(OptionFiles, WriterReplacesFilesAndRefusesLineBreaks) {
    TestFolder dir;
    test::WriteFile(dir / "f.dll", std::string(100, 'x'));
    WriteTextLines(dir / "f.dll", {"a", ""});
    EXPECT_EQ(test::ReadFile(dir / "f.dll"), "a\r\n\r\n");
    WriteTextLines(dir / "empty.dll", {});
    EXPECT_EQ(test::ReadFile(dir / "empty.dll"), "");

    EXPECT_THROW(WriteTextLines(dir / "g.dll", {"one", "two\nthree"}), Error);
    EXPECT_FALSE(FileExists(dir / "g.dll"));
    EXPECT_THROW(WriteTextLines(dir / "missing/h.dll", {"x"}), std::system_error);
}

}  // namespace
}  // namespace quorlix
