#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "support/opened_fifo.h"
#include "support/scoped_environment.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::ReadFile;
using test::TestFolder;
using test::WriteFile;

constexpr const char* kEmptyKey =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
    "\r\n";

// Fails the named step with the given error number.
class FailingStep : public WriteStepHook {
public:
    FailingStep(std::string step, int error) : step_(std::move(step)), error_(error) {}
    void Before(std::string_view step) override {
        if (step == step_) {
            throw std::system_error(error_, std::generic_category(), std::string(step));
        }
    }

private:
    std::string step_;
    int error_;
};

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SettingsStore, PathFollowsXdgConfigHomeElseHome) {
    {
        const test::ScopedEnvironment config("XDG_CONFIG_HOME", "/x/config");
        EXPECT_EQ(DefaultSettingsPath(), "/x/config/dorvane/fennimorpro.reg");
    }
    const test::ScopedEnvironment home("HOME", "/home/u");
    for (const std::optional<std::string>& unset : {std::optional<std::string>(), {""}}) {
        const test::ScopedEnvironment config("XDG_CONFIG_HOME", unset);
        EXPECT_EQ(DefaultSettingsPath(), "/home/u/.config/dorvane/fennimorpro.reg");
    }
}

TEST(SettingsStore, OpenCreatesTheFolderAndAnEmptyKeyOnce) {
    const TestFolder folder;
    const std::string path = folder / "a/b/fennimorpro.reg";
    SettingsStore store(path);
    store.Open();
    EXPECT_EQ(ReadFile(path), kEmptyKey);
    EXPECT_FALSE(store.ValueExists("x"));
    EXPECT_EQ(store.ReadString("x"), "");

    // A file with other keys gains the defaults key; one that has it is not rewritten.
    const std::string other =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"a\"=\"1\"\r\n";
    WriteFile(path, other);
    store.Open();
    EXPECT_EQ(ReadFile(path), other +
                                  "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]"
                                  "\r\n\r\n");
    const std::string lower =
        "Windows Registry Editor Version 5.00\n[hkey_current_user\\software\\dorvane\\"
        "FENNIMORPRO]\n\"Name\"=\"v\"\n";
    WriteFile(path, lower);
    store.Open();
    EXPECT_EQ(ReadFile(path), lower);
    EXPECT_EQ(store.ReadString("NAME"), "v");
    EXPECT_EQ(FolderNames(folder / "a/b"),
              (std::vector<std::string>{"fennimorpro.reg", "fennimorpro.reg.lock"}));
}

TEST(SettingsStore, KeepsTextsExactlyAndTellsTypesApart) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    WriteFile(path,
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
              "\"n\"=dword:00000005\r\n\"keep\"=hex:01\r\n");
    SettingsStore store(path);
    store.WriteStrings({{"blank", " a "},
                        {"empty", ""},
                        {"utf8", "\xd0\x96\xe2\x82\xac"},
                        {"quote", "\\\"\\"},
                        {"N", "now text"}});
    EXPECT_EQ(ReadFile(path),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
              "\"n\"=\"now text\"\r\n\"keep\"=hex:01\r\n"
              "\"blank\"=\" a \"\r\n\"empty\"=\"\"\r\n\"utf8\"=\"\xd0\x96\xe2\x82\xac\"\r\n"
              "\"quote\"=\"\\\\\\\"\\\\\"\r\n\r\n");

    SettingsStore reader(path);
    reader.Open();
    EXPECT_EQ(reader.ReadString("blank"), " a ");
    EXPECT_TRUE(reader.ValueExists("empty"));
    EXPECT_EQ(reader.ReadString("empty"), "");
    EXPECT_EQ(reader.ReadString("utf8"), "\xd0\x96\xe2\x82\xac");
    EXPECT_EQ(reader.ReadString("quote"), "\\\"\\");
    EXPECT_TRUE(reader.ValueExists("keep"));
    try {
        reader.ReadString("keep");
        ADD_FAILURE() << "a binary value read as a string";
    } catch (const SettingsTypeError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'keep'");
    }
}

TEST(SettingsStore, AFailedWriteNamesItsValueAndKeepsTheOldFile) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    SettingsStore first(path);
    first.WriteStrings({{"a", "1"}});
    const std::string old = ReadFile(path);

    for (const char* step :
         {"lock", "create temporary", "write temporary", "sync temporary", "rename"}) {
        FailingStep hook(step, ENOSPC);
        SettingsStore store(path, &hook);
        try {
            store.WriteStrings({{"b", "2"}, {"c", "3"}});
            ADD_FAILURE() << "no error at " << step;
        } catch (const SettingsWriteError& error) {
            EXPECT_STREQ(error.what(), "Failed to set data for 'b'") << step;
        }
        EXPECT_EQ(ReadFile(path), old) << step;
        EXPECT_EQ(FolderNames(folder.path()),
                  (std::vector<std::string>{"fennimorpro.reg", "fennimorpro.reg.lock"}))
            << step;
    }

    // A name that cannot be written stops the batch there; the values before it are written.
    SettingsStore store(path);
    try {
        store.WriteStrings({{"b", "2"}, {"bad\nname", "x"}, {"c", "3"}});
        ADD_FAILURE() << "a name with a line break was written";
    } catch (const SettingsWriteError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'bad\nname'");
    }
    store.Open();
    EXPECT_EQ(store.ReadString("b"), "2");
    EXPECT_FALSE(store.ValueExists("c"));
}

TEST(SettingsStore, KeepsADamagedFileAsideAndTellsOnce) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    const std::string damaged = "Windows Registry Editor Version 5.00\r\n\r\n[K]\r\n\"a\"=\"1\r\n";
    WriteFile(path, damaged);

    SettingsStore store(path);
    store.Open();
    EXPECT_EQ(ReadFile(path), kEmptyKey);
    const std::vector<std::string> names = FolderNames(folder.path());
    ASSERT_EQ(names.size(), 3u);
    const std::string aside = names[0];
    EXPECT_TRUE(aside.starts_with("fennimorpro-damaged-") && aside.ends_with(".reg")) << aside;
    EXPECT_EQ(ReadFile(folder / aside), damaged);

    const std::optional<std::string> notice = store.TakeNotice();
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(*notice, "The defaults file " + path +
                           " could not be read (line 4: a quoted text has no closing quote). It "
                           "was kept as " +
                           (folder / aside) + " and new defaults are saved in its place.");
    EXPECT_FALSE(store.TakeNotice().has_value());

    // The next save writes a fresh file and no further notice; a second damage in the same
    // second gets a name of its own.
    store.WriteString("b", "2");
    EXPECT_FALSE(store.TakeNotice().has_value());
    EXPECT_NE(ReadFile(path).find("\"b\"=\"2\"\r\n"), std::string::npos);
    WriteFile(path, "garbage");
    store.WriteString("c", "3");
    EXPECT_TRUE(store.TakeNotice().has_value());
    EXPECT_EQ(FolderNames(folder.path()).size(), 4u);
    EXPECT_EQ(ReadFile(path),
              std::string(kEmptyKey).insert(std::string(kEmptyKey).size() - 2, "\"c\"=\"3\"\r\n"));
}

TEST(SettingsStore, ADamagedFileKeptAsideIsToldOfEvenWhenTheWriteFails) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    WriteFile(path, "damaged");
    FailingStep hook("create temporary", EIO);
    SettingsStore store(path, &hook);
    EXPECT_THROW(store.WriteString("a", "1"), SettingsWriteError);
    const std::optional<std::string> notice = store.TakeNotice();
    ASSERT_TRUE(notice.has_value());
    const std::vector<std::string> names = FolderNames(folder.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_NE(notice->find(folder / names[0]), std::string::npos);
    EXPECT_EQ(ReadFile(folder / names[0]), "damaged");
}

TEST(SettingsStore, AFolderInThePlaceOfTheFileCannotBeOpened) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    SettingsStore store(path);
    EXPECT_THROW(store.Open(), std::system_error);
    EXPECT_THROW(store.WriteString("a", "1"), SettingsWriteError);
}

TEST(SettingsStore, AFifoInThePlaceOfTheFileIsRefusedWithoutWaiting) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    const test::OpenedFifo fifo(path);
    ASSERT_TRUE(fifo.made());
    SettingsStore store(path);
    try {
        store.Open();
        ADD_FAILURE() << "opened";
    } catch (const std::system_error& e) {
        EXPECT_EQ(std::string(e.what()), path + ": not a regular file");
    }
    EXPECT_THROW(store.WriteString("a", "1"), SettingsWriteError);
    EXPECT_EQ(FolderNames(folder.path()),
              (std::vector<std::string>{"fennimorpro.reg", "fennimorpro.reg.lock"}));
}

}  // namespace
}  // namespace quorlix
