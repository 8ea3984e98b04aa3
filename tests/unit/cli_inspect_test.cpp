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
        EXPECT_NE(
            run.out.find("  " + entry.name + "  record " + std::to_string(entry.recordLength) +
                         " bytes, size " + std::to_string(entry.content.size()) + " bytes\n"),
            std::string::npos)
            << entry.name;
        offset += entry.recordLength;
    }
    EXPECT_NE(run.out.find("option\\winoptions.dll:\n  Gr\xC3\xBC\xC3\x9F"
                           "e \"Plan\"-This Word document will help you\n  1024\n  480\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("option\\trmacke2.dll:\n  0\n"), std::string::npos);

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
    EXPECT_TRUE(run.out.ends_with("OPTION\\winoptions.DLL:\n  one\n  two\n  three\n")) << run.out;

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

TEST(CliInspect, JsonTextEscapesQuotesControlsAndMalformedUtf8) {
    EXPECT_EQ(JsonQuoted("a\"b\\c\x01\n\t\x7F"), "\"a\\\"b\\\\c\\u0001\\n\\t\\u007f\"");
    EXPECT_EQ(JsonQuoted("\xC3\xBC\xFF\xC3"), "\"\xC3\xBC\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

}  // namespace
}  // namespace quorlix
