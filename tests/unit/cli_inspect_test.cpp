#include <gtest/gtest.h>

#include <filesystem>

#include "cli/json_text.h"
#include "support/cli_output.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::RunCliWith;
using test::TestFolder;

const std::string kDocumentName =
    "Gr\xC3\xBC\xC3\x9F"
    "e \"Plan\".doc";  // Grüße "Plan".doc
// The staged copy's Package object names it with '_' for the '"' that Windows names cannot hold.
const std::string kOriginalName =
    "Gr\xC3\xBC\xC3\x9F"
    "e _Plan_.doc";

// Converts one document into folder/out and returns the executable's path.
std::string ConvertedOutput(const TestFolder& folder, const std::string& content) {
    fs::create_directories(folder / "out");
    test::WriteFile(folder / kDocumentName, content);
    const CliRun run = RunCliWith({"convert", "--output-folder", folder / "out", "--set",
                                   "opwidth=1024", folder / kDocumentName});
    EXPECT_EQ(run.status, 0) << run.err;
    return folder /
           "out/Gr\xC3\xBC\xC3\x9F"
           "e \"Plan\".exe";
}

// The number after "at byte " in a message.
std::uint64_t PositionIn(const std::string& message) {
    const std::size_t at = message.find(" at byte ");
    EXPECT_NE(at, std::string::npos) << message;
    return at == std::string::npos ? 0 : std::stoull(message.substr(at + 9));
}

TEST(CliInspect, ShowsLayoutEntriesOptionLinesAndTheOriginalName) {
    TestFolder folder;
    const std::string exe = ConvertedOutput(folder, test::RandomBytes(5000, 1));
    const std::string bytes = test::ReadFile(exe);
    const test::ReadOutput output = test::ReadBack(bytes);

    const CliRun run = RunCliWith({"inspect", exe});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::size_t packageEnd = bytes.size() - 256 - 4;
    std::string expected = "file size: " + std::to_string(bytes.size()) + "\n" +
                           "stub: offset 0, " + std::to_string(output.documentStart) + " bytes\n" +
                           "document section: offset " + std::to_string(output.documentStart) +
                           ", " + std::to_string(output.document.size()) + " bytes\n" +
                           "document: " + kOriginalName + " (package-object, 5000 bytes)\n" +
                           "package: offset " + std::to_string(output.package.start) + ", " +
                           std::to_string(packageEnd - output.package.start) + " bytes\n";
    EXPECT_TRUE(run.out.starts_with(expected)) << run.out;
    EXPECT_NE(run.out.find("entries: 5\n"), std::string::npos);
    std::size_t offset = output.package.start;
    for (const test::ReadEntry& entry : output.package.entries) {
        EXPECT_EQ(entry.sizeField, entry.content.size());
        EXPECT_NE(run.out.find("  " + entry.name + "  record " +
                               std::to_string(entry.recordLength) + " bytes, size " +
                               std::to_string(entry.content.size()) + " bytes, option file\n"),
                  std::string::npos)
            << entry.name;
        offset += entry.recordLength;
    }
    EXPECT_NE(run.out.find("\nwinoptions.dll line 1 opfiletitle: Gr\xC3\xBC\xC3\x9F"
                           "e \"Plan\"-This Word document will help you\n"
                           "winoptions.dll line 2 opwidth: 1024\n"
                           "winoptions.dll line 3 opheigh: 480\n"
                           "winoptions.dll line 4 opmax: 1\n"),
              std::string::npos)
        << run.out;
    // Lines that hold no field show without one.
    EXPECT_NE(run.out.find("\nwinoptions.dll line 9 opcomm: 9\nwinoptions.dll line 10: 1\n"
                           "winoptions.dll line 11: 1\nwinoptions.dll line 12 opright: 1\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("\nwinsetbrower.dll line 1: ~~~~~.txt\n"
                           "winsetbrower.dll line 2 showfirstimage: 0\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("\nwateroptions.dll line 1 watertype: 0\n"), std::string::npos);
    EXPECT_NE(run.out.find("\ntrmacke2.dll line 1 embedfonts: 0\n"), std::string::npos);
    EXPECT_EQ(run.out.find("after end marker"), std::string::npos);

    const CliRun json = RunCliWith({"inspect", "--json", exe});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(json.out.starts_with("{\n  \"file\": ")) << json.out;
    EXPECT_NE(json.out.find("\"ok\": true,"), std::string::npos);
    EXPECT_NE(json.out.find("\"document\": {\"name\": \"" + kOriginalName +
                            "\", \"kind\": \"package-object\", \"size\": 5000}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(
        json.out.find("\"documentSection\": {\"offset\": " + std::to_string(output.documentStart) +
                      ", \"size\": " + std::to_string(output.document.size()) + "}"),
        std::string::npos);
    EXPECT_NE(json.out.find("{\"name\": \"option\\\\winoptions.dll\", \"offset\": "),
              std::string::npos);
    EXPECT_NE(json.out.find("{\"name\": \"option\\\\winoptions.dll\", \"lines\": [\"Gr\xC3\xBC"
                            "\xC3\x9F"
                            "e \\\"Plan\\\"-This Word document will help you\", \"1024\", \"480\""),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"afterEndMarker\": {\"offset\": " + std::to_string(bytes.size()) +
                            ", \"size\": 0, \"codeSignature\": false},\n"),
              std::string::npos);
    EXPECT_NE(json.out.find("\"fields\": [\"opfiletitle\", \"opwidth\", \"opheigh\", "),
              std::string::npos);
    EXPECT_TRUE(json.out.ends_with("]\n}\n"));
}

TEST(CliInspect, DamagedFilesGiveTheReasonAndPosition) {
    TestFolder folder;
    const std::string exe = ConvertedOutput(folder, test::RandomBytes(3000, 2));
    const std::string good = test::ReadFile(exe);
    const test::ReadOutput output = test::ReadBack(good);

    // Cut short: the end marker is gone.
    test::WriteFile(folder / "cut.exe", good.substr(0, good.size() - 1));
    CliRun run = RunCliWith({"inspect", folder / "cut.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("quorlix-cli inspect: " + folder / "cut.exe" + ": damaged: "))
        << run.err;
    PositionIn(run.err);
    EXPECT_EQ(run.out, "");

    // A byte of the winoptions stream flipped: the fault lies inside that record.
    std::size_t record = output.package.start;
    std::uint32_t length = 0;
    for (const test::ReadEntry& entry : output.package.entries) {
        if (entry.name == "option\\winoptions.dll") {
            length = entry.recordLength;
            break;
        }
        record += entry.recordLength;
    }
    ASSERT_GT(length, 20u);
    std::string flipped = good;
    flipped[record + 4 + length / 2] ^= 0x55;
    test::WriteFile(folder / "flipped.exe", flipped);
    run = RunCliWith({"inspect", folder / "flipped.exe"});
    EXPECT_EQ(run.status, 1);
    const std::uint64_t position = PositionIn(run.err);
    EXPECT_GE(position, record) << run.err;
    EXPECT_LE(position, record + length) << run.err;

    // The document section no longer holds a container stream.
    std::string noContainer = good;
    noContainer[output.documentStart] ^= 0x20;
    test::WriteFile(folder / "nocontainer.exe", noContainer);
    run = RunCliWith({"inspect", folder / "nocontainer.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the document section holds no valid container stream"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(PositionIn(run.err), output.documentStart);
    run = RunCliWith({"inspect", "--json", folder / "nocontainer.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\"ok\": false,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"position\": " + std::to_string(output.documentStart) + "}"),
              std::string::npos)
        << run.out;

    // An entry name the player would refuse to place; the position is its record's.
    const std::string crafted = test::WithPackage(
        good, test::HandMadePackage({{"option\\winoptions.dll", "x\r\n"}, {"a\\..\\b", "y"}}));
    test::WriteFile(folder / "crafted.exe", crafted);
    run = RunCliWith({"inspect", folder / "crafted.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("entry name \"a\\..\\b\" is not a plain relative file name"),
              std::string::npos)
        << run.err;
    // A name of 5,000 characters is refused by inspect as by extract.
    const std::string longName = "myfont\\" + std::string(5000, 'a') + ".ttf";
    test::WriteFile(folder / "long.exe",
                    test::WithPackage(good, test::HandMadePackage({{longName, "z"}})));
    const CliRun longRun = RunCliWith({"inspect", folder / "long.exe"});
    EXPECT_EQ(longRun.status, 1);
    EXPECT_NE(longRun.err.find("is not a plain relative file name"), std::string::npos);
    EXPECT_EQ(RunCliWith({"extract", folder / "long.exe", folder / "dest"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(folder / "dest"));
    const test::ReadOutput craftedRead = test::ReadBack(crafted);
    ASSERT_EQ(craftedRead.package.entries.size(), 2u);
    EXPECT_EQ(PositionIn(run.err),
              craftedRead.package.start + craftedRead.package.entries[0].recordLength);

    run = RunCliWith({"inspect", folder / "missing.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(folder / "missing.exe"), std::string::npos);
    EXPECT_EQ(run.out, "");

    // Option lines are split as the player splits them: a lone LF ends a line too.
    test::WriteFile(
        folder / "lf.exe",
        test::WithPackage(
            good, test::HandMadePackage({{"OPTION\\winoptions.DLL", "one\ntwo\r\nthree"}})));
    run = RunCliWith({"inspect", folder / "lf.exe"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(
        run.out.ends_with("winoptions.DLL line 1 opfiletitle: one\n"
                          "winoptions.DLL line 2 opwidth: two\n"
                          "winoptions.DLL line 3 opheigh: three\n"))
        << run.out;

    // A file that cannot be read still gives JSON under --json.
    run = RunCliWith({"inspect", "--json", folder / "missing.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.starts_with("{\n  \"file\": " + JsonQuoted(folder / "missing.exe") +
                                    ",\n  \"ok\": false,\n  \"error\": {\"reason\": \""))
        << run.out;
    EXPECT_TRUE(run.out.ends_with("\", \"position\": null}\n}\n")) << run.out;
    EXPECT_NE(run.out.find("No such file or directory"), std::string::npos) << run.out;
    run = RunCliWith({"inspect", "--json", folder.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.ends_with("\"position\": null}\n}\n")) << run.out;
}

TEST(CliInspect, OptionLinesOfEachLayoutNameTheirFields) {
    TestFolder folder;
    const std::string good = test::ReadFile(ConvertedOutput(folder, "x"));
    test::WriteFile(
        folder / "layouts.exe",
        test::WithPackage(good, test::HandMadePackage({
                                    {"option\\wateroptions.dll", "1\r\nhttp://a\r\nhi\r\n"},
                                    {"option\\trmack2.dll", "option\\2.png\r\n0\r\n1\r\n"},
                                    {"option\\trmacke1.dll", "1\r\nA (TrueType)\r\nB\r\n"},
                                })));
    const CliRun run = RunCliWith({"inspect", folder / "layouts.exe"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(
        run.out.ends_with("wateroptions.dll line 1 watertype: 1\n"
                          "wateroptions.dll line 2 waterweb: http://a\n"
                          "wateroptions.dll line 3 watertext: hi\n"
                          "trmack2.dll line 1 secondimage: option\\2.png\n"
                          "trmack2.dll line 2 secondtrans1: 0\n"
                          "trmack2.dll line 3 secondclick: 1\n"
                          "trmacke1.dll line 1 embedfonts: 1\n"
                          "trmacke1.dll line 2 embedfontlist: A (TrueType)\n"
                          "trmacke1.dll line 3 embedfontlist: B\n"))
        << run.out;
    test::WriteFile(
        folder / "image.exe",
        test::WithPackage(good, test::HandMadePackage(
                                    {{"option\\wateroptions.dll", "2\r\nw\r\n1\r\n2\r\n50\r\n"}})));
    EXPECT_TRUE(RunCliWith({"inspect", folder / "image.exe"})
                    .out.ends_with("wateroptions.dll line 3 waterleft2: 1\n"
                                   "wateroptions.dll line 4 watertop2: 2\n"
                                   "wateroptions.dll line 5 waterimagetrans: 50\n"));
}

TEST(CliInspect, OnlyOptionFilesShowAsLinesAndNoRawBytesReachTheTerminal) {
    TestFolder folder;
    const std::string good = test::ReadFile(ConvertedOutput(folder, "x"));
    const std::string jpeg = "\xFF\xD8\xFF\xE0\x1B[2J" + test::RandomBytes(3000, 4);
    const std::string png = "\x89PNG\r\n\x1A\n" + test::RandomBytes(100, 5);
    test::WriteFile(folder / "kinds.exe",
                    test::WithPackage(good, test::HandMadePackage({
                                                {"option\\wateroptionimage.dll", jpeg},
                                                {"option\\WINOPTIONS.dll", "a\x1B[31mred\x7F\r\n"},
                                                {"option\\1.png", png},
                                                {"option\\2.gif", "not a picture"},
                                                {"myfont\\a.ttf", "font bytes"},
                                                {"option\\other.dll", "z\r\n"},
                                            })));
    const CliRun run = RunCliWith({"inspect", folder / "kinds.exe"});
    ASSERT_EQ(run.status, 0) << run.err;
    // What an entry's line says after its name and record length.
    const auto listed = [&](const std::string& name) {
        const std::size_t at = run.out.find("  " + name + "  record ");
        if (at == std::string::npos) {
            return std::string("missing");
        }
        const std::string text = run.out.substr(at, run.out.find('\n', at) - at);
        return text.substr(text.find(" bytes, size ") + 13);
    };
    EXPECT_EQ(listed("option\\wateroptionimage.dll"),
              std::to_string(jpeg.size()) + " bytes, picture (JPEG)");
    EXPECT_EQ(listed("option\\WINOPTIONS.dll"), "12 bytes, option file");
    EXPECT_EQ(listed("option\\1.png"), std::to_string(png.size()) + " bytes, picture (PNG)");
    EXPECT_EQ(listed("option\\2.gif"), "13 bytes, picture (unknown)");
    EXPECT_EQ(listed("myfont\\a.ttf"), "10 bytes, font");
    EXPECT_EQ(listed("option\\other.dll"), "3 bytes, other");
    // The one option file's line, its controls escaped; nothing of the others.
    EXPECT_TRUE(
        run.out.ends_with(" bytes, other\n"
                          "WINOPTIONS.dll line 1 opfiletitle: a\\x1B[31mred\\x7F\n"))
        << run.out;
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(run.out.find("\xFF\xD8"), std::string::npos);

    const CliRun json = RunCliWith({"inspect", "--json", folder / "kinds.exe"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find(", \"kind\": \"picture\", \"format\": \"JPEG\"}"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(", \"kind\": \"font\"}"), std::string::npos);
    EXPECT_NE(json.out.find(", \"kind\": \"option-file\"}"), std::string::npos);
    EXPECT_NE(json.out.find("\"optionFiles\": [\n    {\"name\": \"option\\\\WINOPTIONS.dll\", "
                            "\"lines\": [\"a\\u001b[31mred\\u007f\"]"),
              std::string::npos)
        << json.out;
}

TEST(CliInspect, OrdinaryFilesAreNotOutputsOfThisProgram) {
    TestFolder folder;
    const std::string message = ": not an output of this program (it has no end marker)\n";
    std::string program = "MZ" + test::RandomBytes(4000, 3);
    program.back() = 0x00;
    test::WriteFile(folder / "tool.exe", program);
    test::WriteFile(folder / "Plan.doc", "\xD0\xCF\x11\xE0" + test::RandomBytes(2000, 4) + "end");
    test::WriteFile(folder / "empty.exe", "");
    for (const std::string name : {"tool.exe", "Plan.doc", "empty.exe"}) {
        const CliRun run = RunCliWith({"inspect", folder / name});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "quorlix-cli inspect: " + folder / name + message);
    }
    const CliRun json = RunCliWith({"inspect", "--json", folder / "tool.exe"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out,
              "{\n  \"file\": " + JsonQuoted(folder / "tool.exe") +
                  ",\n  \"ok\": false,\n  \"error\": {\"reason\": \"not an output of this "
                  "program (it has no end marker)\", \"position\": null}\n}\n");
}

// The output with a certificate table entry pointing at a signed-data certificate appended
// after the end marker, as a signing tool leaves it.
std::string Signed(std::string output, std::uint32_t padding) {
    const std::uint32_t pe = test::LE32At(output, 0x3C);
    const std::size_t optional = pe + 24;
    const bool plus = static_cast<unsigned char>(output[optional + 1]) == 0x02;
    const std::size_t entry = optional + (plus ? 112 : 96) + 8 * 4;
    const std::uint32_t at = static_cast<std::uint32_t>(output.size()) + padding;
    const std::string body = test::RandomBytes(300, 5);
    const std::uint32_t length = 8 + static_cast<std::uint32_t>(body.size());
    output.replace(entry, 8, test::LE32Text(at) + test::LE32Text(length));
    output += std::string(padding, '\0') + test::LE32Text(length) +
              std::string("\x00\x02\x02\x00", 4) + body;
    return output;
}

TEST(CliInspect, BytesAfterTheEndMarkerAreListedAndACodeSignatureNamed) {
    TestFolder folder;
    const std::string good = test::ReadFile(ConvertedOutput(folder, "x"));
    const std::string end = std::to_string(good.size());
    test::WriteFile(folder / "signed.exe", Signed(good, 4));
    CliRun run = RunCliWith({"inspect", folder / "signed.exe"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(
        run.out.find("\nend marker: offset " + std::to_string(good.size() - 256) +
                     "\nafter end marker: offset " + end + ", 312 bytes (a code signature)\n"),
        std::string::npos)
        << run.out;
    run = RunCliWith({"inspect", "--json", folder / "signed.exe"});
    EXPECT_NE(run.out.find("\"afterEndMarker\": {\"offset\": " + end +
                           ", \"size\": 312, \"codeSignature\": true},"),
              std::string::npos)
        << run.out;

    // Bytes the certificate table does not cover, or a certificate of another type.
    std::string wrongType = Signed(good, 0);
    wrongType[good.size() + 6] = 0x01;
    test::WriteFile(folder / "junk.exe", good + "junk");
    test::WriteFile(folder / "wrongtype.exe", wrongType);
    run = RunCliWith({"inspect", folder / "junk.exe"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(
        run.out.find("\nafter end marker: offset " + end + ", 4 bytes (not read by the player)\n"),
        std::string::npos)
        << run.out;
    run = RunCliWith({"inspect", folder / "wrongtype.exe"});
    EXPECT_NE(run.out.find(", 308 bytes (not read by the player)\n"), std::string::npos) << run.out;
}

TEST(CliInspect, JsonTextEscapesQuotesControlsAndMalformedUtf8) {
    EXPECT_EQ(JsonQuoted("a\"b\\c\x01\n\t\x7F"), "\"a\\\"b\\\\c\\u0001\\n\\t\\u007f\"");
    EXPECT_EQ(JsonQuoted("\xC3\xBC\xFF\xC3"), "\"\xC3\xBC\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

}  // namespace
}  // namespace quorlix
