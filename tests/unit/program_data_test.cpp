#include "platform/program_data.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;
using test::WriteFile;

TEST(ProgramData, FindsTheHelpFileBesideTheExecutableThenInTheInstalledDataFolder) {
    TestFolder root;
    std::filesystem::create_directories(root / "usr/bin");
    std::filesystem::create_directories(root / "usr/share/quorlix");
    const std::string bin = root / "usr/bin";

    // Neither place holds it: the path beside the executable, where opening it fails quietly.
    EXPECT_EQ(ProgramDataFile(bin, "Help.chm"), bin + "/Help.chm");

    WriteFile(root / "usr/share/quorlix/Help.chm", "ITSF");
    EXPECT_EQ(ProgramDataFile(bin, "Help.chm"), root / "usr/share/quorlix/Help.chm");

    // A build folder keeps it beside the executables, and that copy wins.
    WriteFile(bin + "/Help.chm", "ITSF");
    EXPECT_EQ(ProgramDataFile(bin, "Help.chm"), bin + "/Help.chm");

    // A folder of that name is not the file.
    std::filesystem::create_directories(root / "build/Help.chm");
    EXPECT_EQ(ProgramDataFile(root / "build", "Help.chm"), root / "build/Help.chm");
}

TEST(ProgramData, FindsTheHtmlManualInTheBuildFolderThenInTheInstalledDocumentation) {
    TestFolder root;
    std::filesystem::create_directories(root / "usr/bin");
    std::filesystem::create_directories(root / "usr/share/doc/quorlix/html");
    const std::string bin = root / "usr/bin";
    EXPECT_EQ(HtmlManualIndex(bin), "") << "neither place holds it";

    WriteFile(root / "usr/share/doc/quorlix/html/index.html", "<html>");
    EXPECT_EQ(HtmlManualIndex(bin), root / "usr/share/doc/quorlix/html/index.html");

    std::filesystem::create_directories(bin + "/html");
    WriteFile(bin + "/html/index.html", "<html>");
    EXPECT_EQ(HtmlManualIndex(bin), bin + "/html/index.html") << "the build folder's copy wins";
}

TEST(ProgramData, ExecutableFolderIsTheFolderOfTheRunningTest) {
    const std::string folder = ExecutableFolder();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "/program_data_test"));
}

}  // namespace
}  // namespace quorlix
