#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "common/byte_order.h"
#include "common/compound_file_reader.h"
#include "support/cli_output.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::RunCliWith;
using test::TestFolder;
using Bytes = std::vector<std::uint8_t>;

// Every path below a folder, relative to it, folders marked with a trailing '/'.
std::set<std::string> Tree(const std::string& folder) {
    std::set<std::string> paths;
    if (!fs::exists(fs::symlink_status(folder))) {
        return paths;
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = entry.path().lexically_relative(folder).string();
        paths.insert(entry.is_directory() && !entry.is_symlink() ? relative + "/" : relative);
    }
    return paths;
}

class CliExtract : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "out");
        content_ = test::RandomBytes(90000, 5);
        test::WriteFile(folder_ / "Plan.docx", content_);
        const CliRun run =
            RunCliWith({"convert", "--output-folder", folder_ / "out", folder_ / "Plan.docx"});
        ASSERT_EQ(run.status, 0) << run.err;
        exe_ = folder_ / "out/Plan.exe";
        bytes_ = test::ReadFile(exe_);
    }

    TestFolder folder_;
    std::string content_;
    std::string exe_;
    std::string bytes_;
};

TEST_F(CliExtract, WritesTheDocumentAndEveryEntryUnderTheFolder) {
    const std::string dir = folder_ / "x/y";  // made when missing
    const CliRun run = RunCliWith({"extract", exe_, dir});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const test::ReadOutput output = test::ReadBack(bytes_);
    std::string listed = dir + "/Plan.docx\n";
    std::set<std::string> expected = {"Plan.docx", "option/"};
    for (const test::ReadEntry& entry : output.package.entries) {
        std::string relative = entry.name;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        listed += dir + "/" + relative + "\n";
        expected.insert(relative);
        EXPECT_EQ(test::ReadFile(dir + "/" + relative), entry.content) << entry.name;
    }
    EXPECT_EQ(run.out, listed);
    EXPECT_EQ(Tree(dir), expected);
    EXPECT_EQ(test::ReadFile(dir + "/Plan.docx"), content_);

    // A second extraction into the same folder replaces nothing and leaves nothing new.
    test::WriteFile(dir + "/option/winoptions.dll", "mine");
    fs::remove(dir + "/Plan.docx");
    const CliRun again = RunCliWith({"extract", exe_, dir});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find(dir + "/option/winsetbrower.dll: File exists"), std::string::npos)
        << again.err;
    EXPECT_EQ(again.out, "");
    EXPECT_FALSE(fs::exists(dir + "/Plan.docx")) << "the document written first is removed";
    EXPECT_EQ(test::ReadFile(dir + "/option/winoptions.dll"), "mine");
}

TEST_F(CliExtract, RefusesEntryNamesThatLeaveTheFolderAndWritesNothing) {
    const std::string dir = folder_ / "a/b/dest";
    fs::create_directories(dir);
    const std::vector<std::string> names = {"option\\..\\..\\x", "\\abs", "C:\\evil.txt",
                                            "option\\.\\y", "a\\\\b"};
    for (const std::string& name : names) {
        const std::string crafted = test::WithPackage(
            bytes_, test::HandMadePackage({{"option\\ok.dll", "ok"}, {name, "evil"}}));
        test::WriteFile(folder_ / "crafted.exe", crafted);
        const CliRun run = RunCliWith({"extract", folder_ / "crafted.exe", dir});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_NE(run.err.find("\"" + name + "\""), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Tree(dir).empty()) << name;
    }
    EXPECT_EQ(Tree(folder_ / "a"), (std::set<std::string>{"b/", "b/dest/"}));
    EXPECT_FALSE(fs::exists(folder_ / "x"));
}

TEST_F(CliExtract, RefusesALinkOnTheWayAndRemovesWhatItWrote) {
    const std::string dir = folder_ / "dest";
    const std::string outside = folder_ / "outside";
    fs::create_directories(dir);
    fs::create_directories(outside);
    fs::create_directory_symlink(outside, dir + "/option");

    const CliRun run = RunCliWith({"extract", exe_, dir});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("symbolic link"), std::string::npos) << run.err;
    EXPECT_TRUE(Tree(outside).empty());
    EXPECT_EQ(Tree(dir), (std::set<std::string>{"option"}));
}

TEST_F(CliExtract, DamagedEntryLeavesNoFileBehind) {
    // Nested folders from '\' in a name; the middle of the second entry's stream is damaged,
    // so the first file is written whole before the fault shows.
    std::string package = test::HandMadePackage({{"myfont\\sub\\a.ttf", test::RandomBytes(5000, 7)},
                                                 {"option\\b.dll", test::RandomBytes(3000, 8)}});
    const std::uint32_t directoryLength =
        GetLE32(reinterpret_cast<const std::uint8_t*>(package.data() + package.size() - 8));
    package[package.size() - 8 - directoryLength - 1500] ^= 0x77;
    test::WriteFile(folder_ / "damaged.exe", test::WithPackage(bytes_, package));
    const std::string dir = folder_ / "dest";
    fs::create_directories(dir);
    const CliRun run = RunCliWith({"extract", folder_ / "damaged.exe", dir});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("entry \"option\\b.dll\" is not a valid zlib stream"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(" at byte "), std::string::npos) << run.err;
    EXPECT_TRUE(Tree(dir).empty());
}

TEST_F(CliExtract, ADamagedDocumentChainOrAFileOfAnotherProgramWritesNothing) {
    const test::ReadOutput output = test::ReadBack(bytes_);
    const Bytes compound(output.document.begin() + 12, output.document.end());
    const CompoundFileReader reader(compound);
    const auto native = reader.Find(CompoundFileReader::kRoot, u"\x01Ole10Native");
    ASSERT_TRUE(native.has_value());
    // The link of a sector in the middle of the document's chain points past the file; the
    // flip is the same on scrambled and plain bytes.
    const std::uint32_t sector = reader.entry(*native).startSector + 100;
    const std::uint32_t fatSector = GetLE32(compound.data() + 0x4C + 4 * (sector / 128));
    const std::size_t link = 12 + (std::size_t{fatSector} + 1) * 512 + 4 * (sector % 128) + 3;
    std::string damaged = bytes_;
    damaged[output.documentStart + link] ^= 0x40;
    test::WriteFile(folder_ / "damaged.exe", damaged);

    const std::string dir = folder_ / "dest";
    const CliRun run = RunCliWith({"extract", folder_ / "damaged.exe", dir});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no valid container stream (Damaged compound file: sector chain ends"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(dir));

    const CliRun other = RunCliWith({"extract", folder_ / "Plan.docx", dir});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err, "quorlix-cli extract: " + (folder_ / "Plan.docx") +
                             ": not an output of this program (it has no end marker)\n");
    EXPECT_FALSE(fs::exists(dir));
}

TEST_F(CliExtract, RefusesRepeatedNamesAsDamageAndWritesNothing) {
    const std::string twice = test::HandMadePackage(
        {{"myfont\\x.ttf", "first"}, {"option\\a.dll", "a"}, {"MyFont\\X.TTF", "second"}});
    test::WriteFile(folder_ / "twice.exe", test::WithPackage(bytes_, twice));
    const std::string dir = folder_ / "dest";
    CliRun run = RunCliWith({"extract", folder_ / "twice.exe", dir});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("quorlix-cli extract: " + folder_ / "twice.exe" +
                                    ": damaged: the package holds a second entry named "
                                    "\"MyFont\\X.TTF\" at byte "))
        << run.err;
    EXPECT_FALSE(fs::exists(dir));

    // An entry in the document's place is the same fault.
    const std::string asDocument =
        test::HandMadePackage({{"option\\a.dll", "a"}, {"PLAN.DOCX", "not the document"}});
    test::WriteFile(folder_ / "document.exe", test::WithPackage(bytes_, asDocument));
    run = RunCliWith({"extract", folder_ / "document.exe", dir});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(": damaged: the package holds an entry with the document's name, "
                           "\"PLAN.DOCX\" at byte "),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(dir));
}

TEST_F(CliExtract, FailureRemovesTheDestinationFoldersItMadeOnly) {
    const std::string package = test::HandMadePackage({{"option\\a.dll", "a"}, {"CON", "x"}});
    test::WriteFile(folder_ / "bad.exe", test::WithPackage(bytes_, package));
    CliRun run = RunCliWith({"extract", folder_ / "bad.exe", folder_ / "made/deep/dest"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("\"CON\" is not a name the player can place."), std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(folder_ / "made"));

    // A failure after writing began removes the folders made, not those that were there.
    fs::create_directories(folder_ / "kept");
    std::string damaged = test::HandMadePackage({{"option\\b.dll", test::RandomBytes(3000, 8)}});
    const std::uint32_t directoryLength =
        GetLE32(reinterpret_cast<const std::uint8_t*>(damaged.data() + damaged.size() - 8));
    damaged[damaged.size() - 8 - directoryLength - 1500] ^= 0x77;
    test::WriteFile(folder_ / "damaged.exe", test::WithPackage(bytes_, damaged));
    run = RunCliWith({"extract", folder_ / "damaged.exe", folder_ / "kept/new/dest"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Tree(folder_ / "kept").empty());
    EXPECT_TRUE(fs::is_directory(folder_ / "kept"));
}

}  // namespace
}  // namespace quorlix

namespace quorlix {
namespace {

TEST(CliExtractSpace, RefusesWhatDoesNotFitInTheFreeSpaceBeforeWritingAnything) {
    TestFolder folder;
    fs::create_directories(folder / "out");
    test::WriteFile(folder / "Plan.docx", "plan");
    ASSERT_EQ(
        RunCliWith({"convert", "--output-folder", folder / "out", folder / "Plan.docx"}).status, 0);
    // 2,000 entries that each claim 4 GiB - 1 bytes: 8 TB, far more than any test disk holds.
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < 2000; ++i) {
        entries.emplace_back("option\\f" + std::to_string(i) + ".dll", "x");
    }
    std::string package = test::HandMadePackage(entries);
    const std::size_t record = package.find("option\\f0.dll|");
    const std::size_t recordLength = std::stoul(package.substr(record + 14));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        package.replace(k * recordLength, 4, "\xFF\xFF\xFF\xFF");
    }
    test::WriteFile(folder / "big.exe",
                    test::WithPackage(test::ReadFile(folder / "out/Plan.exe"), package));
    const CliRun run = RunCliWith({"extract", folder / "big.exe", folder / "dest"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bytes free."), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder / "dest"));
}

}  // namespace
}  // namespace quorlix
