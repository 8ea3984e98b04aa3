#include "platform/replacement_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_system.h"
#include "platform/owner_record.h"
#include "platform/utf8.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;

bool IsWellFormedUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

TEST(ReplacementFile, TemporaryNamesFitWhereverTheFinalNameFits) {
    TestFolder folder;
    // Up to the longest name, in one-byte and in two-byte characters (the second cut falls
    // inside a character unless it is moved back to its start).
    const std::vector<std::string> names = {"a.exe", std::string(206, 'b') + ".exe",
                                            std::string(207, 'c') + ".exe",
                                            std::string(251, 'd') + ".exe", "e" + [] {
                                                std::string accents;
                                                for (int i = 0; i < 125; ++i) {
                                                    accents += "\xC3\xA9";
                                                }
                                                return accents;
                                            }() + ".exe"};
    for (const std::string& name : names) {
        ASSERT_LE(name.size(), 255u);
        const std::string final = folder / name;
        {
            ReplacementFile file(final, ".part");
            const std::string temporary = FileNameOf(file.temporaryPath());
            EXPECT_LE(temporary.size(), 255u) << name.size();
            EXPECT_TRUE(IsWellFormedUtf8(temporary)) << name.size();
            EXPECT_TRUE(NameHoldsGuid(temporary)) << name.size();
            EXPECT_TRUE(temporary.starts_with("." + name.substr(0, 5))) << name.size();
            EXPECT_EQ(FolderOf(file.temporaryPath()), folder.path());
            file.file().WriteAll("x", 1);
            file.Commit(true);
        }
        EXPECT_EQ(test::ReadFile(final), "x") << name.size();
    }
    // A short name is kept whole in the temporary name.
    const ReplacementFile shortName(folder / "Plan.exe", ".part");
    EXPECT_TRUE(FileNameOf(shortName.temporaryPath()).starts_with(".Plan.exe.{"));
}

TEST(ReplacementFile, ErrorsNameTheFinalPathNotTheTemporaryOne) {
    TestFolder folder;
    const std::string final = folder / "missing/Plan.exe";
    try {
        ReplacementFile file(final, ".part");
        ADD_FAILURE() << "made";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
        EXPECT_EQ(std::string(e.what()), final + ": No such file or directory");
    }
    ReplacementFile file(folder / "Plan.exe", ".part");
    EXPECT_EQ(file.file().path(), folder / "Plan.exe");
    file.ReopenFile();
    EXPECT_EQ(file.file().path(), folder / "Plan.exe");
}

}  // namespace
}  // namespace quorlix
