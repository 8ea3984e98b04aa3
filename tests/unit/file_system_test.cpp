#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/guid.h"
#include "platform/temp_folder.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;

TEST(FileSystem, FileSizeOfReportsSizeAndMinusOneWhenMissing) {
    TestFolder dir;
    test::WriteFile(dir / "a.bin", std::string(1234, 'x'));
    EXPECT_EQ(FileSizeOf(dir / "a.bin"), 1234);
    EXPECT_EQ(FileSizeOf(dir / "missing"), -1);
    EXPECT_EQ(FileSizeOf(""), -1);
}

TEST(FileSystem, AChosenFileIsMissingOnlyWhenNothingIsThere) {
    TestFolder dir;
    test::WriteFile(dir / "logo.png", "png");
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "loop", dir / "loop");
    EXPECT_TRUE(ChosenFileExists(dir / "logo.png"));
    EXPECT_FALSE(ChosenFileExists(dir / "folder"));
    EXPECT_FALSE(ChosenFileExists(dir / "missing.png"));
    EXPECT_FALSE(ChosenFileExists(dir / "logo.png/inside"));
    EXPECT_FALSE(ChosenFileExists(dir / "loop"));
    EXPECT_FALSE(ChosenFileExists(""));
    EXPECT_FALSE(ChosenFileExists(std::string(5000, 'a')));
    // A failing disk (EIO) throws instead: tests/unit/cli_faults_test.cpp injects it.
}

TEST(FileSystem, DeleteFolderRemovesContentButNeverFollowsALink) {
    TestFolder dir;
    const std::string outside = dir / "outside";
    std::filesystem::create_directories(outside);
    test::WriteFile(outside + "/keep.txt", "keep");
    const std::string work = dir / "work";
    std::filesystem::create_directories(work + "/sub");
    test::WriteFile(work + "/sub/f.txt", "x");
    std::filesystem::create_directory_symlink(outside, work + "/link");

    EXPECT_TRUE(DeleteFolder(work));
    EXPECT_FALSE(std::filesystem::exists(work));
    EXPECT_EQ(test::ReadFile(outside + "/keep.txt"), "keep");
    EXPECT_FALSE(DeleteFolder(work)) << "a missing folder is a failure";
}

TEST(FileSystem, PathParts) {
    EXPECT_EQ(FileNameOf("/a/b/report.final.docx"), "report.final.docx");
    EXPECT_EQ(FileNameOf("name"), "name");
    EXPECT_EQ(FolderOf("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(FolderOf("/c.txt"), "/");
    EXPECT_EQ(ExtensionOf("/a.b/report.final.docx"), ".docx");
    EXPECT_EQ(ExtensionOf("/a.b/noext"), "");
}

TEST(Guid, RegistryFormVersionFourUpperCase) {
    const std::string a = NewGuidText();
    ASSERT_EQ(a.size(), 38u);
    EXPECT_EQ(a.front(), '{');
    EXPECT_EQ(a.back(), '}');
    for (std::size_t i : {9u, 14u, 19u, 24u}) {
        EXPECT_EQ(a[i], '-');
    }
    EXPECT_EQ(a[15], '4');
    EXPECT_NE(std::string("89AB").find(a[20]), std::string::npos);
    EXPECT_EQ(a.find_first_of("abcdef"), std::string::npos);
    EXPECT_NE(a, NewGuidText());
}

TEST(TempFolder, PrivateFolderWithTrailingSlash) {
    const std::string t = TempFolderPath();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), '/');
    EXPECT_TRUE(FolderExists(t));
    const auto perms = std::filesystem::status(t).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_all);
}

TEST(TempFolder, AFolderOthersCanWriteToIsRefusedAndLeftAsItIs) {
    const std::string t = TempFolderPath();
    const std::string folder = t.substr(0, t.size() - 1);
    for (const auto mode :
         {std::filesystem::perms::group_write, std::filesystem::perms::others_write}) {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all | mode);
        try {
            TempFolderPath();
            ADD_FAILURE() << "taken";
        } catch (const Error& e) {
            const std::string expected =
                mode == std::filesystem::perms::group_write ? "0720" : "0702";
            EXPECT_EQ(std::string(e.what()),
                      "The temporary folder " + folder + " can be written by other users (mode " +
                          expected + "); remove it, or make it private with chmod 700");
        }
        EXPECT_EQ(std::filesystem::status(folder).permissions(),
                  std::filesystem::perms::owner_all | mode);
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_EQ(TempFolderPath(), t);
}

TEST(File, ExclusiveOpenRefusedWhileAnotherHolderHasIt) {
    TestFolder dir;
    test::WriteFile(dir / "out.exe", "abc");
    File first = File::Open(dir / "out.exe", File::Mode::WriteExclusive);
    EXPECT_THROW(File::Open(dir / "out.exe", File::Mode::WriteExclusive), std::system_error);
    EXPECT_THROW(File::Open(dir / "out.exe", File::Mode::CreateTruncateExclusive),
                 std::system_error);
    EXPECT_EQ(test::ReadFile(dir / "out.exe"), "abc") << "a refused open must not truncate";
    first.Close();
    EXPECT_NO_THROW(File::Open(dir / "out.exe", File::Mode::WriteExclusive));
}

TEST(FileSystem, DeleteFileRefusesAFileHeldExclusivelyAndFolders) {
    TestFolder dir;
    test::WriteFile(dir / "out.exe", "held");
    {
        File holder = File::Open(dir / "out.exe", File::Mode::WriteExclusive);
        EXPECT_FALSE(DeleteFile(dir / "out.exe"));
        EXPECT_TRUE(FileExists(dir / "out.exe"));
    }
    EXPECT_TRUE(DeleteFile(dir / "out.exe"));
    EXPECT_FALSE(FileExists(dir / "out.exe"));
    EXPECT_FALSE(DeleteFile(dir / "out.exe"));
    std::filesystem::create_directories(dir / "folder");
    EXPECT_FALSE(DeleteFile(dir / "folder"));
}

TEST(File, CreateNewRefusesAnythingAlreadyThereLinksIncluded) {
    TestFolder dir;
    test::WriteFile(dir / "target", "keep");
    std::filesystem::create_symlink(dir / "target", dir / "link");
    EXPECT_THROW(File::Open(dir / "link", File::Mode::CreateNew), std::system_error);
    EXPECT_THROW(File::Open(dir / "target", File::Mode::CreateNew), std::system_error);
    EXPECT_EQ(test::ReadFile(dir / "target"), "keep");
    File fresh = File::Open(dir / "fresh", File::Mode::CreateNew);
    fresh.WriteAll("x", 1);
    fresh.Close();
    EXPECT_EQ(test::ReadFile(dir / "fresh"), "x");
}

}  // namespace
}  // namespace quorlix
