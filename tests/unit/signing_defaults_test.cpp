#include "conversion/signing_defaults.h"

#include <gtest/gtest.h>

#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;

TEST(SigningDefaults, KeptAsThreeTextValuesBesideTheOthers) {
    const TestFolder folder;
    const std::string path = folder / "fennimorpro.reg";
    test::WriteFile(path,
                    "Windows Registry Editor Version 5.00\r\n\r\n"
                    "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
                    "\"opwidth\"=\"640\"\r\n\r\n");
    SettingsStore store(path);
    store.Open();
    EXPECT_FALSE(ReadSigningDefaults(store).sign);
    SaveSigningDefaults(store, {true, "/home/author/author.p12", "http://tsa.example/rfc3161"});
    EXPECT_EQ(test::ReadFile(path),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
              "\"opwidth\"=\"640\"\r\n\"signoutputs\"=\"1\"\r\n"
              "\"signcertfile\"=\"/home/author/author.p12\"\r\n"
              "\"signtimestamp\"=\"http://tsa.example/rfc3161\"\r\n\r\n");

    SettingsStore reader(path);
    reader.Open();
    const SigningDefaults read = ReadSigningDefaults(reader);
    EXPECT_TRUE(read.sign);
    EXPECT_EQ(read.certificateFile, "/home/author/author.p12");
    EXPECT_EQ(read.timestampUrl, "http://tsa.example/rfc3161");

    // A value of another type, or a flag other than "1", keeps the initial setting.
    test::WriteFile(path,
                    "Windows Registry Editor Version 5.00\r\n\r\n"
                    "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n"
                    "\"signoutputs\"=\"yes\"\r\n\"signcertfile\"=dword:00000001\r\n\r\n");
    reader.Open();
    const SigningDefaults odd = ReadSigningDefaults(reader);
    EXPECT_FALSE(odd.sign);
    EXPECT_EQ(odd.certificateFile, "");
    EXPECT_EQ(odd.timestampUrl, "");
}

}  // namespace
}  // namespace quorlix
