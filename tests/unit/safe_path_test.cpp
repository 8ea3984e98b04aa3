#include "cli/safe_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "platform/error.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

std::string RefusalOf(const std::string& folder, const std::string& entryName) {
    try {
        ExtractionPath(folder, entryName);
    } catch (const Error& e) {
        return e.what();
    }
    return "<accepted>";
}

TEST(SafePath, RefusesNamesThatLeaveTheFolder) {
    TestFolder dir;
    const std::string parts = "\" has a \"..\", \".\" or empty part.";
    EXPECT_EQ(RefusalOf(dir.path(), "option\\..\\..\\x"),
              "The package entry name \"option\\..\\..\\x" + parts);
    EXPECT_EQ(RefusalOf(dir.path(), "..\\x"), "The package entry name \"..\\x" + parts);
    EXPECT_EQ(RefusalOf(dir.path(), "a/../../x"), "The package entry name \"a/../../x" + parts);
    EXPECT_EQ(RefusalOf(dir.path(), ".\\x"), "The package entry name \".\\x" + parts);
    EXPECT_EQ(RefusalOf(dir.path(), "a\\\\x"), "The package entry name \"a\\\\x" + parts);
    EXPECT_EQ(RefusalOf(dir.path(), "a\\"), "The package entry name \"a\\" + parts);
    EXPECT_EQ(RefusalOf(dir.path(), "\\x"), "The package entry name \"\\x\" is an absolute path.");
    EXPECT_EQ(RefusalOf(dir.path(), "/etc/x"),
              "The package entry name \"/etc/x\" is an absolute path.");
    EXPECT_EQ(RefusalOf(dir.path(), "C:\\x"), "The package entry name \"C:\\x\" names a drive.");
    EXPECT_EQ(RefusalOf(dir.path(), "c:x"), "The package entry name \"c:x\" names a drive.");
    EXPECT_EQ(RefusalOf(dir.path(), ""), "The package entry name is empty.");
    EXPECT_EQ(RefusalOf(dir.path(), std::string("a\0b", 3)),
              "The package entry name holds a zero byte.");
    EXPECT_THROW(CreateExtractionFolders(dir.path(), "option\\..\\..\\x"), Error);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(SafePath, RefusesEveryNameThePlayerCannotPlace) {
    TestFolder dir;
    for (const std::string name :
         {"a/b.ttf", "ab:c", "x<y", "x>y", "x\"y", "x|y", "x?y", "x*y", "CON", "option\\nul.txt",
          "com1", "a.", "a ", "myfont\\sub.\\x.ttf", "x\ty"}) {
        EXPECT_EQ(RefusalOf(dir.path(), name),
                  "The package entry name \"" + name + "\" is not a name the player can place.")
            << name;
    }
    EXPECT_EQ(RefusalOf(dir.path(), "myfont\\Arial Bold.ttf"), "<accepted>");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(SafePath, GivesTheNativePathAndMakesItsFolders) {
    TestFolder dir;
    EXPECT_EQ(ExtractionPath(dir.path(), "myfont\\a.ttf"), dir / "myfont/a.ttf");
    EXPECT_EQ(ExtractionPath(dir.path() + "/", "option\\winoptions.dll"),
              dir / "option/winoptions.dll");
    EXPECT_FALSE(fs::exists(dir / "myfont"));

    EXPECT_EQ(CreateExtractionFolders(dir.path(), "myfont\\deep\\a.ttf"),
              dir / "myfont/deep/a.ttf");
    EXPECT_TRUE(fs::is_directory(dir / "myfont/deep"));
    EXPECT_FALSE(fs::exists(dir / "myfont/deep/a.ttf")) << "only the folders are made";
    EXPECT_EQ(CreateExtractionFolders(dir.path(), "myfont\\deep\\b.ttf"),
              dir / "myfont/deep/b.ttf");
    EXPECT_EQ(CreateExtractionFolders(dir.path(), "top.ttf"), dir / "top.ttf");

    test::WriteFile(dir / "file", "x");
    try {
        CreateExtractionFolders(dir.path(), "file\\x.ttf");
        FAIL() << "a file was taken for a folder";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::not_a_directory);
    }
    EXPECT_THROW(CreateExtractionFolders(dir / "missing", "a\\b.ttf"), std::system_error);
}

TEST(SafePath, RefusesASymbolicLinkOnTheWay) {
    TestFolder dir;
    const std::string outside = dir / "outside";
    const std::string dest = dir / "dest";
    fs::create_directories(outside);
    fs::create_directories(dest + "/a/b");
    fs::create_directory_symlink(outside, dest + "/link");
    fs::create_directory_symlink(outside, dest + "/a/b/deep");
    fs::create_symlink(outside + "/target.ttf", dest + "/file.ttf");

    EXPECT_EQ(RefusalOf(dest, "link\\x.ttf"),
              "The package entry \"link\\x.ttf\" leads through "
              "the symbolic link \"" +
                  dest + "/link\".");
    EXPECT_EQ(RefusalOf(dest, "a\\b\\deep\\x.ttf"),
              "The package entry \"a\\b\\deep\\x.ttf\" leads "
              "through the symbolic link \"" +
                  dest + "/a/b/deep\".");
    EXPECT_NE(RefusalOf(dest, "file.ttf"), "<accepted>");
    for (const std::string name : {"link\\sub\\x.ttf", "a\\b\\deep\\sub\\x.ttf", "file.ttf"}) {
        EXPECT_THROW(CreateExtractionFolders(dest, name), Error) << name;
    }
    EXPECT_TRUE(fs::is_empty(outside)) << "nothing was made through a link";

    // The destination folder itself may be reached through a link.
    fs::create_directory_symlink(dest, dir / "dest-link");
    EXPECT_EQ(CreateExtractionFolders(dir / "dest-link", "a\\c\\x.ttf"),
              dir / "dest-link/a/c/x.ttf");
    EXPECT_TRUE(fs::is_directory(dest + "/a/c"));
}

}  // namespace
}  // namespace quorlix
