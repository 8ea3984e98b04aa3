// quorlix-cli convert --defaults and quorlix-cli defaults.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/settings_store.h"
#include "support/cli_output.h"
#include "support/opened_fifo.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::CliRun;
using test::RunCliWith;
using test::TestFolder;

constexpr const char* kStart =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n";

TEST(CliDefaults, DefaultsPrintsTheStoredValuesAndCreatesNothing) {
    const std::string path = DefaultSettingsPath();
    CliRun run = RunCliWith({"defaults"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(path));

    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::WriteFile(path, std::string(kStart) +
                              "\"opwidth\"=\"800\"\r\n\"odd\"=dword:00000005\r\n"
                              "\"opfiletitle\"=\" \\\"q\\\" \"\r\n");
    run = RunCliWith({"defaults"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "\"opwidth\"=\"800\"\n\"odd\"=dword:00000005\n\"opfiletitle\"=\" \\\"q\\\" \"\n");

    test::WriteFile(path, "damaged");
    run = RunCliWith({"defaults"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quorlix-cli defaults: the defaults file " + path +
                           " cannot be read (line 1: the file does not start with \"Windows "
                           "Registry Editor Version 5.00\")\n");
    EXPECT_EQ(test::ReadFile(path), "damaged");
}

TEST(CliDefaults, ConvertStartsFromTheStoredDefaultsBeforeSet) {
    TestFolder folder;
    std::filesystem::create_directories(folder / "out");
    const std::string document = folder / "memo.doc";
    test::WriteFile(document, test::RandomBytes(3000, 5));
    const std::string path = DefaultSettingsPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::WriteFile(path, std::string(kStart) +
                              "\"opfiletitle\"=\" stored\"\r\n\"opwidth\"=\"5\"\r\n"
                              "\"opheigh\"=dword:00000001\r\n\"opcomm\"=\"4\"\r\n"
                              "\"watertype\"=\"1\"\r\n\"watertext\"=\"mark\"\r\n");

    const CliRun run = RunCliWith({"convert", "--defaults", "--output-folder", folder / "out",
                                   "--set", "opwidth=900", document});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "quorlix-cli: the stored default 'opheigh' is not a text value; its option keeps "
              "its initial value\n");
    const test::ReadOutput output = test::ReadBack(test::ReadFile(folder / "out/memo.exe"));
    const std::vector<std::string> win =
        test::OptionLines(test::EntryContent(output.package, "option\\winoptions.dll"));
    ASSERT_EQ(win.size(), 16u);
    EXPECT_EQ(win[0], "memo stored");
    EXPECT_EQ(win[1], "900");
    EXPECT_EQ(win[2], "480");
    EXPECT_EQ(win[8], "14");
    const std::vector<std::string> water =
        test::OptionLines(test::EntryContent(output.package, "option\\wateroptions.dll"));
    ASSERT_EQ(water.size(), 14u);
    EXPECT_EQ(water[2], "mark");

    // Without --defaults the stored values play no part.
    const CliRun plain = RunCliWith({"convert", "--output-folder", folder / "out", document});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const test::ReadOutput initial = test::ReadBack(test::ReadFile(folder / "out/memo.exe"));
    EXPECT_EQ(test::OptionLines(test::EntryContent(initial.package, "option\\winoptions.dll"))[0],
              "memo-This Word document will help you");
}

TEST(CliDefaults, ConvertKeepsADamagedFileAsideAndSaysWhere) {
    TestFolder folder;
    std::filesystem::create_directories(folder / "out");
    const std::string document = folder / "memo.doc";
    test::WriteFile(document, test::RandomBytes(3000, 6));
    const std::string path = DefaultSettingsPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::WriteFile(path, "damaged");

    const CliRun run =
        RunCliWith({"convert", "--defaults", "--output-folder", folder / "out", document});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("quorlix-cli: The defaults file " + path +
                                    " could not be read (line 1: "))
        << run.err;
    EXPECT_NE(run.err.find("It was kept as "), std::string::npos);
    EXPECT_EQ(test::ReadFile(path), std::string(kStart) + "\r\n");
}

TEST(CliDefaults, AFifoAsTheDefaultsFileIsRefusedWithoutWaiting) {
    TestFolder folder;
    std::filesystem::create_directories(folder / "out");
    const std::string document = folder / "memo.doc";
    test::WriteFile(document, test::RandomBytes(3000, 6));
    const std::string path = DefaultSettingsPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const test::OpenedFifo fifo(path);
    ASSERT_TRUE(fifo.made());

    const CliRun shown = RunCliWith({"defaults"});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.err, "quorlix-cli defaults: the defaults file " + path +
                             " cannot be read (not a regular file)\n");
    const CliRun converted =
        RunCliWith({"convert", "--defaults", "--output-folder", folder / "out", document});
    EXPECT_EQ(converted.status, 1);
    EXPECT_EQ(converted.err, "quorlix-cli convert: the defaults file " + path +
                                 " cannot be read (not a regular file)\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "out/memo.exe"));
    // Left where it is: nothing was moved aside or written in its place.
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(std::distance(
                  std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                  std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace quorlix
