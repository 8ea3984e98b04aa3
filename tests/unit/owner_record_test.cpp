#include "platform/owner_record.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/replacement_file.h"
#include "platform/run_folder.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

const std::string kDeadGuid = "{11111111-2222-4333-8444-555555555555}";
const std::string kLiveGuid = "{AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE}";

// Runs body in a child process that then ends without running any destructor, as a crash does.
void InDyingChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
}

TEST(OwnerRecord, LeftoversOfADeadRunGoAndARunningCopysStay) {
    TestFolder folder;
    const std::string dead = folder / ("run-" + kDeadGuid);
    InDyingChild([&] {
        new RunFolder(dead);
        test::WriteFile(dead + "/~~~.txt", "staged");
        new ReplacementFile(folder / "Plan.exe", ".part");
    });
    ASSERT_TRUE(fs::exists(dead + "/~~~.txt"));
    // The child's temporary file has a GUID of its own; find it.
    std::string childFile;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        if (entry.path().filename().string().ends_with(".part")) {
            childFile = entry.path().string();
        }
    }
    ASSERT_FALSE(childFile.empty());
    fs::create_directories(folder / "outside");
    test::WriteFile(folder / "outside/keep", "keep");
    fs::create_symlink(folder / "outside", dead + "/link");

    const RunFolder live(folder / ("run-" + kLiveGuid));
    test::WriteFile(live.path() + "/~~~.txt", "live");

    EXPECT_EQ(RemoveLeftoversOfDeadRuns(), 2);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(childFile));
    EXPECT_EQ(test::ReadFile(folder / "outside/keep"), "keep") << "no link is followed";
    EXPECT_EQ(test::ReadFile(live.path() + "/~~~.txt"), "live");
    EXPECT_EQ(RemoveLeftoversOfDeadRuns(), 0);
}

TEST(OwnerRecord, ARecordNamingAPathWithoutItsGuidRemovesNothing) {
    TestFolder folder;
    test::WriteFile(folder / "precious", "keep");
    fs::create_directories(OwnerRecordFolder());
    test::WriteFile(OwnerRecordFolder() + "/" + kDeadGuid + ".owner", folder / "precious" + "\n");
    EXPECT_EQ(RemoveLeftoversOfDeadRuns(), 1);
    EXPECT_EQ(test::ReadFile(folder / "precious"), "keep");
}

}  // namespace
}  // namespace quorlix
