#include "package/icon_replacement.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "package/resource_update.h"
#include "platform/error.h"
#include "support/pe_inspect.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::FoundResource;
using test::Le16;
using test::Le32;
using test::PutLe16;
using test::PutLe32;

const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);

std::string Stub() {
    return test::ReadFile(QUORLIX_STUB_PATH);
}

// An icon file with the given images; entry j has width 16 + j, height 16 + j, 8 bpp.
std::string MakeIcon(const std::vector<std::string>& images, std::uint16_t reserved = 0,
                     std::uint16_t type = 1) {
    std::string file(6 + 16 * images.size(), '\0');
    PutLe16(file, 0, reserved);
    PutLe16(file, 2, type);
    PutLe16(file, 4, static_cast<std::uint16_t>(images.size()));
    for (std::size_t j = 0; j < images.size(); ++j) {
        const std::size_t e = 6 + 16 * j;
        file[e] = static_cast<char>(16 + j);
        file[e + 1] = static_cast<char>(16 + j);
        file[e + 2] = static_cast<char>(j);
        PutLe16(file, e + 4, 1);
        PutLe16(file, e + 6, static_cast<std::uint16_t>(8 + j));
        PutLe32(file, e + 8, static_cast<std::uint32_t>(images[j].size()));
        PutLe32(file, e + 12, static_cast<std::uint32_t>(file.size()));
        file += images[j];
    }
    return file;
}

std::vector<std::string> Images(std::size_t count) {
    std::vector<std::string> images;
    for (std::size_t j = 0; j < count; ++j) {
        images.push_back(j == 1 ? kPngSignature + test::RandomBytes(300, 9)
                                : test::RandomBytes(200 + 1000 * j, static_cast<unsigned>(j)));
    }
    return images;
}

std::vector<FoundResource> Icons(const std::string& exe) {
    std::vector<FoundResource> icons;
    for (const FoundResource& r : test::WalkResources(exe)) {
        if (r.type == "#3" || r.type == "#14") {
            icons.push_back(r);
        }
    }
    return icons;
}

std::set<std::string> FolderEntries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Checks that the executable holds exactly the icon file's images as MAINICON in 1033.
void ExpectIconReplaced(const std::string& exe, const std::string& icon, std::size_t n) {
    const std::vector<FoundResource> icons = Icons(exe);
    ASSERT_EQ(icons.size(), n + 1);
    for (std::size_t j = 0; j < n; ++j) {
        EXPECT_EQ(icons[j].type, "#3");
        EXPECT_EQ(icons[j].name, "#" + std::to_string(j + 1));
        EXPECT_EQ(icons[j].language, 1033);
        EXPECT_EQ(icons[j].data,
                  icon.substr(Le32(icon, 6 + 16 * j + 12), Le32(icon, 6 + 16 * j + 8)));
    }
    const FoundResource& group = icons.back();
    EXPECT_EQ(group.type, "#14");
    EXPECT_EQ(group.name, "MAINICON");
    EXPECT_EQ(group.language, 1033);
    ASSERT_EQ(group.data.size(), 6 + 14 * n);
    EXPECT_EQ(Le16(group.data, 0), 0) << "the old group's reserved word";
    EXPECT_EQ(Le16(group.data, 2), 1) << "the old group's type word";
    EXPECT_EQ(Le16(group.data, 4), n);
    for (std::size_t j = 0; j < n; ++j) {
        EXPECT_EQ(group.data.substr(6 + 14 * j, 12), icon.substr(6 + 16 * j, 12));
        EXPECT_EQ(Le16(group.data, 6 + 14 * j + 12), j + 1);
    }
}

TEST(ReplaceMainIcon, ReplacesTheGroupAndItsImagesKeepingTheRestOfTheFile) {
    const std::string stub = Stub();
    const std::string overlay = "appended document section";
    for (const std::size_t n : {0u, 1u, 3u, 5u}) {
        test::TestFolder dir;
        // The icon file's own reserved and type words must not reach the group.
        const std::string icon = MakeIcon(Images(n), 0x1234, 2);
        test::WriteFile(dir / "i.ico", icon);
        test::WriteFile(dir / "out.exe", stub + overlay);
        EXPECT_NO_THROW(ReplaceMainIcon(dir / "out.exe", dir / "i.ico"));

        const std::string exe = test::ReadFile(dir / "out.exe");
        ExpectIconReplaced(exe, icon, n);
        EXPECT_EQ(test::HeaderProblems(exe), std::vector<std::string>{}) << n;
        EXPECT_EQ(test::BytesOutsideResources(exe), test::BytesOutsideResources(stub + overlay));
        EXPECT_EQ(exe.substr(exe.size() - overlay.size()), overlay);
        EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"i.ico", "out.exe"}));
    }
}

TEST(ReplaceMainIcon, WorksWhenTheResourceSectionIsNotTheLast) {
    const std::string relocations("\x00\x10\x00\x00\x0C\x00\x00\x00\x00\x00\x00\x00", 12);
    const std::string exe = test::AppendSection(Stub(), ".reloc", relocations, 0x42000040, 5);
    for (const std::size_t n : {1u, 5u}) {
        test::TestFolder dir;
        std::vector<std::string> images = Images(n);
        if (n == 5) {
            images.back() = test::RandomBytes(20000, 3);  // outgrows the section's room
        }
        const std::string icon = MakeIcon(images);
        test::WriteFile(dir / "i.ico", icon);
        test::WriteFile(dir / "out.exe", exe);
        EXPECT_NO_THROW(ReplaceMainIcon(dir / "out.exe", dir / "i.ico"));
        const std::string out = test::ReadFile(dir / "out.exe");
        ExpectIconReplaced(out, icon, n);
        EXPECT_EQ(test::HeaderProblems(out), std::vector<std::string>{}) << n;
        const test::PeInfo info = test::ReadPeInfo(out);
        EXPECT_EQ(info.sections.back().name, ".reloc");
        EXPECT_EQ(out.substr(info.sections.back().rawPointer, 12), relocations);
        EXPECT_EQ(info.directoryRva[5], info.sections.back().virtualAddress);
        const bool moved = info.sections.back().virtualAddress !=
                           test::ReadPeInfo(exe).sections.back().virtualAddress;
        EXPECT_EQ(moved, n == 5);

        // A second replacement of the rewritten file shrinks the section again.
        const std::string small = MakeIcon(Images(1));
        test::WriteFile(dir / "i.ico", small);
        EXPECT_NO_THROW(ReplaceMainIcon(dir / "out.exe", dir / "i.ico"));
        const std::string again = test::ReadFile(dir / "out.exe");
        ExpectIconReplaced(again, small, 1);
        EXPECT_EQ(test::HeaderProblems(again), std::vector<std::string>{}) << n;
        EXPECT_EQ(again.substr(test::ReadPeInfo(again).sections.back().rawPointer, 12),
                  relocations);
    }
}

TEST(ReplaceMainIcon, TakesAnIconFileOfExactlyOneMebibyte) {
    test::TestFolder dir;
    const std::string icon = MakeIcon({std::string(1048576 - 22, 'p')});
    ASSERT_EQ(icon.size(), 1048576u);
    test::WriteFile(dir / "i.ico", icon);
    test::WriteFile(dir / "out.exe", Stub());
    EXPECT_NO_THROW(ReplaceMainIcon(dir / "out.exe", dir / "i.ico"));
    ExpectIconReplaced(test::ReadFile(dir / "out.exe"), icon, 1);
}

std::string WithoutMainIcon(const std::string& stub, bool keepGroupType) {
    test::TestFolder dir;
    test::WriteFile(dir / "s.exe", stub);
    ResourceUpdate update = ResourceUpdate::Begin(dir / "s.exe");
    update.Delete(ResourceName::Id(14), ResourceName::Named("MAINICON"), 2052);
    if (keepGroupType) {
        update.Add(ResourceName::Id(14), ResourceName::Named("OTHER"), 2052,
                   std::vector<std::uint8_t>(6, 0));
    }
    update.Commit();
    return test::ReadFile(dir / "s.exe");
}

std::string WithGroupCount(const std::string& stub, std::uint16_t count) {
    std::string exe = stub;
    const FoundResource group = Icons(stub).back();
    const test::PeInfo info = test::ReadPeInfo(stub);
    const test::SectionInfo& rsrc = info.sections[test::ResourceSectionIndex(info)];
    PutLe16(exe, rsrc.rawPointer + (group.dataRva - rsrc.virtualAddress) + 4, count);
    return exe;
}

TEST(ReplaceMainIcon, EveryFailureHasItsMessageAndLeavesTheExecutableAsItWas) {
    const std::string stub = Stub();
    const std::string good = MakeIcon(Images(2));
    std::string tooMany = MakeIcon(Images(1));
    PutLe16(tooMany, 4, 40);
    std::string pastEnd = MakeIcon(Images(2));
    PutLe32(pastEnd, 6 + 16 + 8, Le32(pastEnd, 6 + 16 + 8) + 1);
    std::string wrapping = MakeIcon(Images(1));
    PutLe32(wrapping, 6 + 8, 0x20);
    PutLe32(wrapping, 6 + 12, 0xFFFFFFF0u);
    std::string pinned = test::AppendSection(stub, ".data2", "x", 0xC0000040, -1);
    const std::string large = MakeIcon({test::RandomBytes(60000, 1)});
    struct Row {
        const char* what;
        std::string exe;
        std::string icon;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"too large", stub, MakeIcon({std::string(1048576 - 21, 'p')}),
         "Resource update error: [IUPDATE] Icon file is too large"},
        {"5 bytes", stub, std::string(5, '\0'), "Resource update error: [] Icon file is invalid"},
        {"an executable", stub, "MZ" + good.substr(2),
         "Resource update error: [] Icon file is invalid"},
        {"too many entries", stub, tooMany, "Resource update error: [] Icon file is invalid"},
        {"image past the end", stub, pastEnd, "Resource update error: [] Icon file is invalid"},
        {"offset + size wraps", stub, wrapping, "Resource update error: [] Icon file is invalid"},
        {"damaged executable", stub.substr(0, 0x3000), good,
         "Resource update error: [] BeginUpdateResource failed (1)(193)"},
        {"not an executable", std::string(4096, 'x'), good,
         "Resource update error: [] BeginUpdateResource failed (1)(193)"},
        {"no MAINICON group", WithoutMainIcon(stub, true), good,
         "Resource update error: [] FindResource failed (1)(1814)"},
        {"no group icons at all", WithoutMainIcon(stub, false), good,
         "Resource update error: [] FindResource failed (1)(1813)"},
        {"group shorter than its count", WithGroupCount(stub, 4), good,
         "Resource update error: [] LockResource failed (1)(193)"},
        {"no room to grow", pinned, large, "Resource update error: [] EndUpdateResource failed"},
    };
    for (const Row& row : rows) {
        test::TestFolder dir;
        test::WriteFile(dir / "i.ico", row.icon);
        test::WriteFile(dir / "out.exe", row.exe);
        try {
            ReplaceMainIcon(dir / "out.exe", dir / "i.ico");
            ADD_FAILURE() << row.what << ": no error";
        } catch (const ResourceUpdateError& e) {
            EXPECT_EQ(e.what(), row.message) << row.what;
            // A damaged executable says what is wrong with it.
            if (row.message.find("UpdateResource failed") != std::string::npos) {
                EXPECT_FALSE(e.systemText().empty()) << row.what;
            }
        }
        EXPECT_EQ(test::ReadFile(dir / "out.exe"), row.exe) << row.what;
        EXPECT_EQ(FolderEntries(dir.path()), (std::set<std::string>{"i.ico", "out.exe"}))
            << row.what;
    }
}

TEST(ReplaceMainIcon, FileSystemErrors) {
    test::TestFolder dir;
    test::WriteFile(dir / "i.ico", MakeIcon(Images(1)));
    try {
        ReplaceMainIcon(dir / "missing.exe", dir / "i.ico");
        ADD_FAILURE() << "no error";
    } catch (const ResourceUpdateError& e) {
        EXPECT_STREQ(e.what(), "Resource update error: [] BeginUpdateResource failed (1)(2)");
        EXPECT_EQ(e.systemText(), "No such file or directory");
    }
    test::WriteFile(dir / "out.exe", Stub());
    EXPECT_THROW(ReplaceMainIcon(dir / "out.exe", dir / "missing.ico"), std::system_error);
    EXPECT_EQ(test::ReadFile(dir / "out.exe"), Stub());
}

TEST(ValidateIconFile, AcceptsExactlyTheDirectoriesThatFit) {
    const auto valid = [](const std::string& s) {
        return ValidateIconFile(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    };
    EXPECT_TRUE(valid(MakeIcon({})));
    EXPECT_FALSE(valid(MakeIcon({}).substr(0, 5)));
    EXPECT_FALSE(ValidateIconFile(nullptr, 0));
    const std::string three = MakeIcon(Images(3));
    EXPECT_TRUE(valid(three));
    EXPECT_FALSE(valid(three.substr(0, three.size() - 1)));
    EXPECT_FALSE(valid(three.substr(0, 6 + 16 * 3 - 1)));
    std::string empty = MakeIcon({""});
    EXPECT_TRUE(valid(empty)) << "an empty image at the very end fits";
    PutLe32(empty, 6 + 12, static_cast<std::uint32_t>(empty.size() + 1));
    EXPECT_FALSE(valid(empty));
    std::string wraps = three;
    PutLe32(wraps, 6 + 16 + 8, 0xFFFFFFFFu);  // offset + size wraps to offset - 1
    EXPECT_FALSE(valid(wraps));
    std::string mz = three;
    mz[0] = 'M';
    mz[1] = 'Z';
    EXPECT_FALSE(valid(mz));
    mz[1] = 'z';
    EXPECT_TRUE(valid(mz));
}

TEST(FirstResourceLanguage, ReportsTheFirstLanguageInTheTable) {
    const std::string stub = Stub();
    const PeResourceReader module(std::vector<std::uint8_t>(stub.begin(), stub.end()));
    EXPECT_EQ(FirstResourceLanguage(module, ResourceName::Id(14), ResourceName::Named("MAINICON")),
              2052);
    EXPECT_EQ(FirstResourceLanguage(module, ResourceName::Id(3), ResourceName::Id(3)), 2052);
    EXPECT_EQ(FirstResourceLanguage(module, ResourceName::Id(3), ResourceName::Id(4)), 0);
}

}  // namespace
}  // namespace quorlix
