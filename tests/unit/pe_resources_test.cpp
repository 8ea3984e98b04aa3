#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <string>
#include <vector>

#include "package/pe_format_error.h"
#include "package/pe_headers.h"
#include "package/pe_resource_reader.h"
#include "package/pe_resource_writer.h"
#include "package/resource_update.h"
#include "support/pe_inspect.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::FoundResource;
using test::Le16;
using test::Le32;

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}
std::string Text(const std::vector<std::uint8_t>& v) {
    return {v.begin(), v.end()};
}
std::span<const std::uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::string Stub() {
    return test::ReadFile(QUORLIX_STUB_PATH);
}

ResourceTree TreeOf(const std::string& exe) {
    const PeResourceReader reader(Bytes(exe));
    ResourceTree tree;
    for (const ResourceEntry& e : reader.entries()) {
        const std::span<const std::uint8_t> data = reader.Data(e);
        tree[e.type][e.name][e.language].bytes.assign(data.begin(), data.end());
    }
    return tree;
}

TEST(ResourceName, NamesFirstInUpperCaseThenIdsAscending) {
    EXPECT_EQ(ResourceName::Named("mainIcon"), ResourceName::Named("MAINICON"));
    EXPECT_EQ(ResourceName::Named(u"\u00e9t\u0430"), ResourceName::Named(u"\u00c9T\u0410"));
    EXPECT_EQ(UpperCaseUtf16(0xFF), 0x178);
    EXPECT_EQ(UpperCaseUtf16(u'1'), u'1');
    EXPECT_LT(ResourceName::Named("ZZZ"), ResourceName::Id(0));
    EXPECT_LT(ResourceName::Named("AB"), ResourceName::Named("abc"));
    EXPECT_LT(ResourceName::Named("ABC"), ResourceName::Named("b"));
    EXPECT_LT(ResourceName::Id(3), ResourceName::Id(14));
    EXPECT_EQ(ResourceName::Id(14).Text(), "#14");
}

TEST(PeResourceReader, ReadsTheStubsIconsAsAnIndependentWalkFindsThem) {
    const std::string stub = Stub();
    const PeResourceReader reader(Bytes(stub));
    const std::vector<FoundResource> walked = test::WalkResources(stub);
    ASSERT_EQ(reader.entries().size(), walked.size());
    for (std::size_t i = 0; i < walked.size(); ++i) {
        const ResourceEntry& e = reader.entries()[i];
        EXPECT_EQ(e.type.Text(), walked[i].type);
        EXPECT_EQ(e.name.Text(), walked[i].name);
        EXPECT_EQ(e.language, walked[i].language);
        const std::span<const std::uint8_t> data = reader.Data(e);
        EXPECT_EQ(std::string(data.begin(), data.end()), walked[i].data);
    }
    const ResourceEntry* group = reader.Find(ResourceName::Id(14), ResourceName::Named("mainicon"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->language, 2052);
    EXPECT_EQ(group->size, 48u);
    EXPECT_EQ(reader.Languages(ResourceName::Id(3), ResourceName::Id(2)),
              std::vector<std::uint16_t>{2052});
    EXPECT_EQ(reader.Find(ResourceName::Id(3), ResourceName::Id(4)), nullptr);
    EXPECT_FALSE(reader.HasType(ResourceName::Id(6)));
}

// Each mutation damages one field; the reader must refuse the file without reading outside it.
TEST(PeResourceReader, DamagedFilesAreErrors) {
    const std::string stub = Stub();
    const test::PeInfo info = test::ReadPeInfo(stub);
    const test::SectionInfo& rsrc = info.sections[test::ResourceSectionIndex(info)];
    const std::size_t root = rsrc.rawPointer;
    const std::size_t pe = Le32(stub, 0x3C);
    struct Damage {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        int width;
    };
    const Damage damages[] = {
        {"no MZ", 0, 'X', 1},
        {"PE header past the end", 0x3C, 0xFFFFFFF0u, 4},
        {"no PE signature", pe, 0x4551, 4},
        {"unknown magic", info.optionalHeader, 0x107, 2},
        {"optional header too large", pe + 20, 0xFFFF, 2},
        {"too many sections", pe + 6, 0xFFFF, 2},
        {"section data past the end", info.optionalHeader + 224 + 40 * 8 + 16, 0x7FFFFFFF, 4},
        {"resource directory outside sections", info.optionalHeader + 96 + 16, 0x7FFFF000, 4},
        {"root entry count", root + 14, 0xFFFF, 2},
        {"root points at a data entry", root + 20, 0x00000010, 4},
        {"type directory past the end", root + 20, 0x8FFFFFF0u, 4},
        {"loop back to the root", root + 20, 0x80000000u, 4},
        {"name past the end", root + 16, 0xFFFFFFF0u, 4},
    };
    for (const Damage& d : damages) {
        std::string file = stub;
        if (d.width == 1) {
            file[d.at] = static_cast<char>(d.value);
        } else if (d.width == 2) {
            test::PutLe16(file, d.at, static_cast<std::uint16_t>(d.value));
        } else {
            test::PutLe32(file, d.at, d.value);
        }
        EXPECT_THROW(PeResourceReader{Bytes(file)}, PeFormatError) << d.what;
    }
    for (const std::size_t length : {0u, 2u, 0x3Fu, 0x40u, 0x100u, 0x3FFu, 0x3801u}) {
        EXPECT_THROW(PeResourceReader{Bytes(stub.substr(0, length))}, PeFormatError) << length;
    }
    // A data entry pointing outside the file is found by Data, the step that uses it.
    std::string file = stub;
    const FoundResource first = test::WalkResources(stub).front();
    for (std::size_t at = root; at + 4 <= root + rsrc.rawSize; at += 4) {
        if (Le32(file, at) == first.dataRva) {
            test::PutLe32(file, at + 4, 0x7FFFFFFF);
            break;
        }
    }
    const PeResourceReader reader(Bytes(file));
    EXPECT_THROW(reader.Data(reader.entries().front()), PeFormatError);
}

TEST(PeResourceWriter, TablesAreSortedAlignedAndTheRestOfTheFileIsKept) {
    test::TestFolder dir;
    const std::string stub = Stub();
    const std::string overlay = "overlay bytes after the last section";
    test::WriteFile(dir / "a.exe", stub + overlay);
    ResourceUpdate update = ResourceUpdate::Begin(dir / "a.exe");
    const std::vector<std::uint8_t> one{1}, three{1, 2, 3}, empty;
    update.Add(ResourceName::Named("zeta"), ResourceName::Id(7), 0, three);
    update.Add(ResourceName::Id(10), ResourceName::Named("b"), 1033, one);
    update.Add(ResourceName::Id(10), ResourceName::Id(2), 1033, empty);
    update.Add(ResourceName::Id(10), ResourceName::Named("A"), 1049, three);
    update.Add(ResourceName::Id(10), ResourceName::Named("A"), 1033, one);
    update.Add(ResourceName::Named("Alpha"), ResourceName::Id(1), 0, one);
    update.Delete(ResourceName::Id(3), ResourceName::Id(2), 2052);
    update.Delete(ResourceName::Id(3), ResourceName::Id(9), 2052);  // not there: nothing happens
    update.Commit();
    const std::string out = test::ReadFile(dir / "a.exe");

    EXPECT_EQ(test::HeaderProblems(out), std::vector<std::string>{});
    std::vector<std::string> order;
    for (const FoundResource& r : test::WalkResources(out)) {
        order.push_back(r.type + "/" + r.name + "/" + std::to_string(r.language));
        EXPECT_EQ(r.dataRva % 8, 0u) << order.back();
    }
    const std::vector<std::string> expected{
        "ALPHA/#1/0", "ZETA/#7/0",   "#3/#1/2052",        "#3/#3/2052",  "#10/A/1033", "#10/A/1049",
        "#10/B/1033", "#10/#2/1033", "#14/MAINICON/2052", "#16/#1/1033", "#24/#1/1033"};
    EXPECT_EQ(order, expected);

    // Directory headers as Windows writes them: characteristics and stamp 0, version 4.0.
    const test::PeInfo info = test::ReadPeInfo(out);
    const test::SectionInfo& rsrc = info.sections[test::ResourceSectionIndex(info)];
    EXPECT_EQ(Le32(out, rsrc.rawPointer), 0u);
    EXPECT_EQ(Le32(out, rsrc.rawPointer + 4), 0u);
    EXPECT_EQ(Le16(out, rsrc.rawPointer + 8), 4);
    EXPECT_EQ(Le16(out, rsrc.rawPointer + 12), 2);  // named types
    EXPECT_EQ(Le16(out, rsrc.rawPointer + 14), 5);  // id types
    EXPECT_LE(info.directorySize[2], rsrc.virtualSize) << "the section may keep room before .reloc";

    // Everything outside the resource section is the same but for the header fields rewritten
    // and the relocation section that follows it, moved whole.
    const test::PeInfo before = test::ReadPeInfo(stub);
    EXPECT_TRUE(test::BytesOutsideResources(out) == test::BytesOutsideResources(stub + overlay));
    std::string headersOut = out.substr(0, before.sections[0].rawPointer);
    std::string headersIn = stub.substr(0, before.sections[0].rawPointer);
    const std::size_t r = test::ResourceSectionIndex(info);
    ASSERT_EQ(r + 2, info.sections.size()) << "the relocations follow the resources";
    const test::SectionInfo& reloc = info.sections[r + 1];
    EXPECT_EQ(out.substr(reloc.rawPointer, reloc.rawSize),
              stub.substr(before.sections[r + 1].rawPointer, before.sections[r + 1].rawSize));
    EXPECT_EQ(info.directoryRva[5], reloc.virtualAddress);
    EXPECT_EQ(out.substr(out.size() - overlay.size()), overlay);
    EXPECT_EQ(out.size() - overlay.size(), reloc.rawPointer + reloc.rawSize);
    EXPECT_EQ(before.sections.size(), info.sections.size());
}

TEST(ResourceUpdate, ReplacesTheFileALinkNamesAndKeepsItsMode) {
    test::TestFolder dir;
    test::WriteFile(dir / "real.exe", Stub());
    std::filesystem::permissions(dir / "real.exe", std::filesystem::perms(0751));
    std::filesystem::create_symlink(dir / "real.exe", dir / "link.exe");
    ResourceUpdate update = ResourceUpdate::Begin(dir / "link.exe");
    update.Add(ResourceName::Id(10), ResourceName::Id(1), 0, std::vector<std::uint8_t>{1, 2});
    update.Commit();
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.exe"));
    EXPECT_EQ(test::WalkResources(test::ReadFile(dir / "real.exe")).size(), 7u);
    EXPECT_EQ(std::filesystem::status(dir / "real.exe").permissions(),
              std::filesystem::perms(0751));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(PeResourceWriter, Pe32PlusFilesAreReadAndWritten) {
    for (const bool plus : {false, true}) {
        test::TestFolder dir;
        test::WriteFile(dir / "m.exe", test::MakeMinimalPe(plus));
        EXPECT_EQ(test::HeaderProblems(test::ReadFile(dir / "m.exe")), std::vector<std::string>{});
        ResourceUpdate update = ResourceUpdate::Begin(dir / "m.exe");
        EXPECT_TRUE(update.tree().empty());
        const std::vector<std::uint8_t> data(5000, 0xAB);
        update.Add(ResourceName::Id(10), ResourceName::Named("DATA"), 1033, data);
        update.Commit();
        const std::string out = test::ReadFile(dir / "m.exe");
        EXPECT_EQ(test::HeaderProblems(out), std::vector<std::string>{}) << plus;
        const std::vector<FoundResource> found = test::WalkResources(out);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].name, "DATA");
        EXPECT_EQ(found[0].data, std::string(5000, '\xAB'));
        EXPECT_EQ(test::ReadPeInfo(out).pe32Plus, plus);
        EXPECT_EQ(test::ReadPeInfo(out).sizeOfImage, 0x3000u);
    }
}

// .rsrc followed by a discardable section (base relocations, as a default mingw link has).
TEST(PeResourceWriter, SectionsAfterTheResourcesMoveWithThem) {
    // The stub's own relocations follow its resources.
    const std::string exe = Stub();
    ASSERT_EQ(test::HeaderProblems(exe), std::vector<std::string>{});
    const test::PeInfo in = test::ReadPeInfo(exe);
    const std::size_t r = test::ResourceSectionIndex(in);
    ASSERT_EQ(r + 2, in.sections.size());
    const std::string relocations = exe.substr(in.sections[r + 1].rawPointer, in.directorySize[5]);
    const std::string overlay = "tail";
    const auto rewrite = [&](std::size_t dataSize) {
        ResourceTree tree = TreeOf(exe);
        tree[ResourceName::Id(10)][ResourceName::Id(1)][0].bytes.assign(dataSize, 7);
        return Text(RewriteResources(Span(exe + overlay), tree));
    };
    for (const std::size_t dataSize : {100u, 40000u}) {
        const std::string out = rewrite(dataSize);
        EXPECT_EQ(test::HeaderProblems(out), std::vector<std::string>{}) << dataSize;
        const test::PeInfo info = test::ReadPeInfo(out);
        const test::SectionInfo& reloc = info.sections[r + 1];
        EXPECT_EQ(out.substr(reloc.rawPointer, relocations.size()), relocations);
        EXPECT_EQ(info.directoryRva[5], reloc.virtualAddress);
        EXPECT_EQ(info.directorySize[5], relocations.size());
        EXPECT_EQ(out.substr(out.size() - overlay.size()), overlay);
        const std::vector<FoundResource> found = test::WalkResources(out);
        const auto group = std::find_if(found.begin(), found.end(), [](const FoundResource& f) {
            return f.name == "MAINICON";
        });
        ASSERT_NE(group, found.end());
        EXPECT_EQ(group->data.size(), 48u) << "the group is still there";
        if (dataSize == 100) {
            EXPECT_EQ(reloc.virtualAddress, in.sections[r + 1].virtualAddress) << "room was enough";
        } else {
            EXPECT_GT(reloc.virtualAddress, in.sections[r + 1].virtualAddress);
        }
    }

    // A section that code may point into cannot move in memory.
    const std::string pinned = test::AppendSection(Stub(), ".data2", "x", 0xC0000040, -1);
    ResourceTree tree;
    tree[ResourceName::Id(10)][ResourceName::Id(1)][0].bytes.assign(40000, 7);
    EXPECT_THROW(RewriteResources(Span(pinned), tree), PeFormatError);
    tree[ResourceName::Id(10)][ResourceName::Id(1)][0].bytes.assign(10, 7);
    EXPECT_EQ(test::HeaderProblems(Text(RewriteResources(Span(pinned), tree))),
              std::vector<std::string>{});
}

TEST(PeHeaders, ChecksumMatchesTheLinkers) {
    const std::string stub = Stub();
    const PeHeaders h = ParsePeHeaders(Span(stub));
    EXPECT_EQ(PeChecksum(Span(stub), h.CheckSumOffset()), Le32(stub, h.CheckSumOffset()));
    EXPECT_FALSE(h.is64);
    EXPECT_EQ(h.fileAlignment, 0x200u);
}

}  // namespace
}  // namespace quorlix
