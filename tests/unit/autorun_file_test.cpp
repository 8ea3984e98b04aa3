#include "conversion/autorun_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scoped_environment.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;

TEST(AutorunFile, WrittenBesideTheOutputReplacingAnyFile) {
    TestFolder dir;
    std::filesystem::create_directories(dir / "out/Plan");
    test::WriteFile(dir / "out/Plan/Autorun.inf", std::string(200, 'x'));
    WriteAutorunFile(dir / "out/Plan/Plan.exe");
    EXPECT_EQ(test::ReadFile(dir / "out/Plan/Autorun.inf"),
              "[AutoRun]\r\nicon=Plan.exe,0\r\nopen=Plan.exe\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out/Plan/Plan.exe"));
}

TEST(AutorunFile, NameIsWrittenInTheAnsiCodePage) {
    TestFolder dir;
    {
        test::ScopedEnvironment locale("LC_ALL", "ru_RU.UTF-8");
        WriteAutorunFile(dir / "Отчёт.exe");
        EXPECT_EQ(
            test::ReadFile(dir / "Autorun.inf"),
            "[AutoRun]\r\nicon=\xCE\xF2\xF7\xB8\xF2.exe,0\r\nopen=\xCE\xF2\xF7\xB8\xF2.exe\r\n");
    }
    test::ScopedEnvironment locale("LC_ALL", "en_GB.UTF-8");
    WriteAutorunFile(dir / "Отчёт.exe");
    EXPECT_EQ(test::ReadFile(dir / "Autorun.inf"),
              "[AutoRun]\r\nicon=?????.exe,0\r\nopen=?????.exe\r\n");
}

TEST(AutorunFile, MissingFolderThrows) {
    TestFolder dir;
    EXPECT_THROW(WriteAutorunFile(dir / "nowhere/Plan.exe"), std::system_error);
}

}  // namespace
}  // namespace quorlix
