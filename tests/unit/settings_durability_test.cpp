// Saves killed at every step and saves of two processes at once leave whole defaults files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "conversion/page_defaults.h"
#include "platform/registry_text.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::ReadFile;
using test::TestFolder;
using test::WriteFile;

// Records the steps of a change.
class RecordingHook : public WriteStepHook {
public:
    void Before(std::string_view step) override { steps.emplace_back(step); }
    std::vector<std::string> steps;
};

// Kills its own process with SIGKILL just before step number target (from 0).
class KillingHook : public WriteStepHook {
public:
    explicit KillingHook(std::size_t target) : target_(target) {}
    void Before(std::string_view) override {
        if (count_++ == target_) {
            ::raise(SIGKILL);
        }
    }

private:
    std::size_t target_;
    std::size_t count_ = 0;
};

// Runs body in a child process; returns its wait status. The child never returns into the
// test: it leaves with _exit, its status 0 when body returned true.
template <typename Body>
int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        bool ok = false;
        try {
            ok = body();
        } catch (...) {
        }
        ::_exit(ok ? 0 : 1);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    return status;
}

bool KilledBySigkill(int status) {
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

OptionSet Changed() {
    OptionSet options;
    options.opfiletitle = "changed title";
    options.opwidth = "800";
    options.opmax = false;
    return options;
}

// Runs a General option save in a child process killed before step number target; true when
// the child died of that SIGKILL.
bool SaveKilledBefore(const std::string& path, std::size_t target) {
    const int status = InChild([&] {
        KillingHook killer(target);
        SettingsStore store(path, &killer);
        SaveGeneralDefaults(store, Changed());
        return true;
    });
    return KilledBySigkill(status);
}

std::vector<std::string> OtherNames(const std::string& folder, const std::string& keep) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != keep && name != "fennimorpro.reg.lock" && name != "fennimorpro.reg.tmp") {
            names.push_back(name);
        }
    }
    return names;
}

TEST(SettingsDurability, ASaveKilledAtEveryStepLeavesTheOldOrTheNewFile) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    SettingsStore setup(path);
    SaveLogoDefaults(setup, OptionSet());
    SaveGeneralDefaults(setup, OptionSet());
    const std::string oldBytes = ReadFile(path);

    RecordingHook recorder;
    SettingsStore recording(path, &recorder);
    SaveGeneralDefaults(recording, Changed());
    const std::string newBytes = ReadFile(path);
    ASSERT_NE(newBytes, oldBytes);
    const std::vector<std::string>& steps = recorder.steps;
    EXPECT_EQ(
        std::set<std::string>(steps.begin(), steps.end()),
        (std::set<std::string>{"create folder", "open lock", "lock", "open file", "read file",
                               "close file", "remove temporary", "create temporary",
                               "write temporary", "sync temporary", "close temporary", "rename",
                               "open folder", "sync folder", "close folder", "unlock"}));
    const std::size_t rename = std::find(steps.begin(), steps.end(), "rename") - steps.begin();

    for (std::size_t target = 0; target < steps.size(); ++target) {
        WriteFile(path, oldBytes);
        ASSERT_TRUE(SaveKilledBefore(path, target)) << "step " << target << " " << steps[target];
        const std::string bytes = ReadFile(path);
        EXPECT_EQ(bytes, target <= rename ? oldBytes : newBytes)
            << "killed before " << steps[target];
        EXPECT_NO_THROW(ParseRegistryText(bytes));
        EXPECT_TRUE(OtherNames(folder.path(), "fennimorpro.reg").empty());
    }

    // Whatever a killed save left, the next one completes.
    WriteFile(path, oldBytes);
    SettingsStore after(path);
    SaveGeneralDefaults(after, Changed());
    EXPECT_EQ(ReadFile(path), newBytes);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(SettingsDurability, KeepingADamagedFileAsideKilledAtEveryStepLosesNothing) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    const std::string damaged = "not a registry file\n";
    WriteFile(path, damaged);
    RecordingHook recorder;
    SettingsStore recording(path, &recorder);
    SaveGeneralDefaults(recording, Changed());
    const std::string newBytes = ReadFile(path);
    const std::vector<std::string> steps = recorder.steps;
    ASSERT_NE(std::find(steps.begin(), steps.end(), "rename aside"), steps.end());

    for (std::size_t target = 0; target < steps.size(); ++target) {
        for (const std::string& name : OtherNames(folder.path(), "fennimorpro.reg")) {
            std::filesystem::remove(folder / name);
        }
        WriteFile(path, damaged);
        ASSERT_TRUE(SaveKilledBefore(path, target)) << "step " << target << " " << steps[target];
        // The damaged bytes are in the file's place or kept aside; the file is either the
        // damaged one, missing, or the new one.
        const std::vector<std::string> aside = OtherNames(folder.path(), "fennimorpro.reg");
        const bool present = std::filesystem::exists(path);
        const std::string bytes = present ? ReadFile(path) : "";
        if (bytes == damaged) {
            EXPECT_TRUE(aside.empty()) << steps[target];
        } else {
            ASSERT_EQ(aside.size(), 1u) << steps[target];
            EXPECT_EQ(ReadFile(folder / aside[0]), damaged);
            EXPECT_TRUE(!present || bytes == newBytes) << steps[target];
        }
    }
}

// Checks that this process's page values in the file are those of round.
bool HoldsRound(const std::string& path, bool general, int round) {
    SettingsStore store(path);
    store.Open();
    const std::string mark = std::to_string(round);
    if (general) {
        return store.ReadString("opfiletitle") == "general " + mark &&
               store.ReadString("opwidth") == mark;
    }
    return store.ReadString("watertext") == "watermark " + mark &&
           store.ReadString("waterleft1") == mark;
}

// Saves one page for rounds 1 to rounds, checking before and after each save that the file
// holds this page's latest values, which only this process writes.
bool SaveRounds(const std::string& path, bool general, int rounds) {
    SettingsStore store(path);
    for (int round = 1; round <= rounds; ++round) {
        if (round > 1 && !HoldsRound(path, general, round - 1)) {
            return false;
        }
        OptionSet options;
        options.opfiletitle = "general " + std::to_string(round);
        options.opwidth = std::to_string(round);
        options.watertext = "watermark " + std::to_string(round);
        options.waterleft1 = std::to_string(round);
        general ? SaveGeneralDefaults(store, options) : SaveWatermarkDefaults(store, options);
        if (!HoldsRound(path, general, round)) {
            return false;
        }
    }
    return true;
}

TEST(SettingsDurability, TwoProcessesSavingDifferentPagesLoseNothing) {
    constexpr int kRounds = 60;
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    std::vector<pid_t> children;
    for (const bool general : {true, false}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            bool ok = false;
            try {
                ok = SaveRounds(path, general, kRounds);
            } catch (...) {
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = -1;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    SettingsStore store(path);
    OptionSet options;
    LoadGeneralDefaults(store, options, LoadMode::Button);
    LoadWatermarkDefaults(store, options, LoadMode::Button);
    EXPECT_EQ(options.opfiletitle, "general " + std::to_string(kRounds));
    EXPECT_EQ(options.watertext, "watermark " + std::to_string(kRounds));
    EXPECT_EQ(store.values().size(), 15u + 19u);
}

}  // namespace
}  // namespace quorlix
