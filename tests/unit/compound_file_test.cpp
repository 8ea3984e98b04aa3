#include "common/compound_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/error.h"
#include "common/package_object.h"
#include "platform/file_byte_source.h"
#include "platform/package_names.h"
#include "support/cfb_image.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::CfbImage;

struct StringSink : ByteSink {
    std::string bytes;
    void Write(const std::uint8_t* data, std::size_t count) override {
        bytes.append(reinterpret_cast<const char*>(data), count);
    }
};

StreamContent Content(const std::string& bytes) {
    StreamContent content;
    content.AppendBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return content;
}

std::string Written(const CompoundFileWriter& writer) {
    StringSink sink;
    writer.Write(sink);
    EXPECT_EQ(sink.bytes.size(), writer.FileSize());
    return sink.bytes;
}

// Checks a storage's tree: in-order walk sorted, root black, no red child of a red node,
// the same number of black nodes on every path; returns the entries in walk order.
std::vector<std::u16string> CheckTree(const CfbImage& image, std::uint32_t storage) {
    std::vector<std::u16string> names;
    std::function<int(std::uint32_t, bool)> walk = [&](std::uint32_t node, bool parentRed) {
        if (node == 0xFFFFFFFF) {
            return 0;
        }
        const auto& e = image.entries().at(node);
        const bool red = e.colour == 0;
        EXPECT_FALSE(red && parentRed) << "two reds in a row";
        const int left = walk(e.left, red);
        names.push_back(e.name);
        const int right = walk(e.right, red);
        EXPECT_EQ(left, right) << "black height";
        return left + (red ? 0 : 1);
    };
    const std::uint32_t top = image.entries().at(storage).child;
    if (top != 0xFFFFFFFF) {
        EXPECT_EQ(image.entries()[top].colour, 1) << "tree root black";
    }
    walk(top, false);
    return names;
}

TEST(CompoundFileWriter, ReproducesTheWindowsPackageObject) {
    const std::string golden = QUORLIX_SHARED_DIR "/golden/package-object-windows.bin";
    if (!std::filesystem::exists(golden)) {
        GTEST_SKIP() << "no golden files here";
    }
    CompoundFileWriter writer;
    writer.SetRootModifiedTime(0x01D3905E557198F0);
    writer.SetRootColour(cfb::kRed);
    const PackageNames names = {"simple-text-file.txt",
                                "C:\\Users\\user\\Documents\\simple-text-file.txt",
                                "C:\\Users\\user\\AppData\\Local\\Temp\\simple-text-file.txt"};
    AddPackageObject(writer, EncodePackageNames(names),
                     Content("This is a simple ascii contents of this simple text file."));
    const std::string bytes = Written(writer);
    ASSERT_EQ(bytes.size(), 3072u);
    const std::string expected = test::ReadFile(golden);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(bytes[i], expected[i]) << "first difference at byte " << i;
    }
}

TEST(CompoundFileWriter, HeaderFatAndDirectoryOfASmallFile) {
    CompoundFileWriter writer;
    writer.AddStream(CompoundFileWriter::kRoot, u"a", Content("hello"));
    const std::string bytes = Written(writer);
    CfbImage image(bytes);
    EXPECT_EQ(image.U16(0x18), 0x3E);
    EXPECT_EQ(image.U16(0x1A), 3);
    EXPECT_EQ(image.U16(0x1C), 0xFFFE);
    EXPECT_EQ(image.U16(0x1E), 9);
    EXPECT_EQ(image.U16(0x20), 6);
    EXPECT_EQ(image.U32(0x28), 0u) << "directory sector count is 0 in version 3";
    EXPECT_EQ(image.U32(0x34), 0u);
    EXPECT_EQ(image.U32(0x38), 4096u);
    EXPECT_EQ(image.U32(0x44), 0xFFFFFFFEu);
    EXPECT_EQ(image.U32(0x48), 0u);
    EXPECT_EQ(image.U32(0x4C + 4), 0xFFFFFFFFu) << "unused FAT slots are free";
    // Windows' small layout: FAT, directory, mini FAT, mini stream.
    EXPECT_EQ(image.fat()[0], 0xFFFFFFFDu);
    EXPECT_EQ(image.U32(0x30), 1u);
    EXPECT_EQ(image.U32(0x3C), 2u);
    EXPECT_EQ(image.entries()[0].start, 3u);
    EXPECT_EQ(image.entries()[0].size, 64u);
    EXPECT_EQ(image.entries()[0].name, u"Root Entry");
    EXPECT_EQ(image.U16(512 * 2 + 64), 22) << "name length of the root with its zero";
    EXPECT_EQ(image.entries()[0].colour, 1) << "black unless set";
    EXPECT_EQ(image.entries()[0].modified, 0u);
    EXPECT_EQ(image.entries()[1].name, u"a");
    EXPECT_EQ(image.Stream(image.entries()[1]), "hello");
    // Unused entries: zero but for the three links.
    for (std::size_t i = 2; i < 4; ++i) {
        const std::size_t e = 512 * 2 + 128 * i;
        EXPECT_EQ(image.U32(e + 68), 0xFFFFFFFFu);
        EXPECT_EQ(image.U32(e + 76), 0xFFFFFFFFu);
        EXPECT_EQ(bytes.substr(e, 68), std::string(68, '\0'));
        EXPECT_EQ(bytes.substr(e + 80, 48), std::string(48, '\0'));
    }
    for (std::size_t s = 5; s < image.fat().size(); ++s) {
        ASSERT_EQ(image.fat()[s], 0xFFFFFFFFu) << "FAT beyond the file is free";
    }
}

TEST(CompoundFileWriter, StreamsOnBothSidesOfTheCutOffAndInStorages) {
    CompoundFileWriter writer;
    const std::vector<std::size_t> sizes = {0, 1, 63, 64, 65, 4095, 4096, 4097, 70000};
    std::vector<std::string> data;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        data.push_back(test::RandomBytes(sizes[i], static_cast<unsigned>(i)));
        const std::u16string name = u"s" + std::u16string(i + 1, u'x');
        writer.AddStream(CompoundFileWriter::kRoot, name, Content(data[i]));
    }
    const auto storage = writer.AddStorage(CompoundFileWriter::kRoot, u"Inner");
    writer.SetClassId(storage, cfb::kPackageClassId);
    writer.AddStream(storage, u"deep", Content("deep bytes"));
    CfbImage image(Written(writer));

    const auto& root = image.entries()[0];
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int id = image.Descend(root, u"s" + std::u16string(i + 1, u'x'));
        ASSERT_GE(id, 0) << "stream " << i << " found by the tree";
        const auto& e = image.entries()[id];
        EXPECT_EQ(e.type, 2);
        EXPECT_EQ(e.size, sizes[i]);
        EXPECT_EQ(image.Stream(e), data[i]) << "size " << sizes[i];
    }
    const int inner = image.Descend(root, u"INNER");
    ASSERT_GE(inner, 0) << "names compare without case";
    EXPECT_EQ(image.entries()[inner].type, 1);
    EXPECT_EQ(image.entries()[inner].classId,
              std::string(reinterpret_cast<const char*>(cfb::kPackageClassId.data()), 16));
    const int deep = image.Descend(image.entries()[inner], u"deep");
    ASSERT_GE(deep, 0);
    EXPECT_EQ(image.Stream(image.entries()[deep]), "deep bytes");
    EXPECT_EQ(image.Descend(root, u"deep"), -1) << "a grandchild is not a child";
    CheckTree(image, static_cast<std::uint32_t>(inner));
}

TEST(CompoundFileWriter, TreesAreOrderedRedBlackTreesForEveryCount) {
    for (int count = 1; count <= 40; ++count) {
        CompoundFileWriter writer;
        std::vector<std::u16string> names;
        for (int i = 0; i < count; ++i) {
            // Mixed lengths and cases, added out of order.
            std::u16string name =
                (i % 3 == 0 ? u"b" : u"A") + std::u16string(i % 5 + 1, u'a' + i % 7);
            name += static_cast<char16_t>(u'A' + (i * 17) % 26);
            name += static_cast<char16_t>(u'0' + i / 10) + std::u16string(1, u'0' + i % 10);
            names.push_back(name);
            writer.AddStream(CompoundFileWriter::kRoot, name, Content(""));
        }
        CfbImage image(Written(writer));
        const std::vector<std::u16string> walked = CheckTree(image, 0);
        ASSERT_EQ(walked.size(), names.size());
        for (std::size_t i = 1; i < walked.size(); ++i) {
            const bool shorter = walked[i - 1].size() < walked[i].size();
            const bool sameLength = walked[i - 1].size() == walked[i].size();
            std::u16string a = walked[i - 1], b = walked[i];
            for (auto& c : a)
                c = (c >= u'a' && c <= u'z') ? c - 32 : c;
            for (auto& c : b)
                c = (c >= u'a' && c <= u'z') ? c - 32 : c;
            EXPECT_TRUE(shorter || (sameLength && a < b)) << "count " << count << " at " << i;
        }
        for (const auto& name : names) {
            EXPECT_GE(image.Descend(image.entries()[0], name), 0) << "count " << count;
        }
    }
}

TEST(CompoundFileWriter, LargeFileHasItsDifatSectors) {
    // 7.5 MB needs more than 109 FAT sectors.
    const std::string big = test::RandomBytes(7'500'000, 7);
    CompoundFileWriter writer;
    writer.AddStream(CompoundFileWriter::kRoot, u"big", Content(big));
    writer.AddStream(CompoundFileWriter::kRoot, u"small", Content("tiny"));
    CfbImage image(Written(writer));
    const std::uint32_t fatCount = image.U32(0x2C);
    ASSERT_GT(fatCount, 109u);
    EXPECT_EQ(image.U32(0x48), (fatCount - 109 + 126) / 127);
    ASSERT_EQ(image.difatSectorIds().size(), image.U32(0x48));
    EXPECT_EQ(image.U32(0x44), image.difatSectorIds()[0]);
    EXPECT_EQ(fatCount, (image.SectorCount() + 127) / 128) << "the FAT covers every sector";
    for (std::uint32_t id : image.fatSectorIds()) {
        EXPECT_EQ(image.fat()[id], 0xFFFFFFFDu);
    }
    for (std::uint32_t id : image.difatSectorIds()) {
        EXPECT_EQ(image.fat()[id], 0xFFFFFFFCu);
    }
    const std::size_t lastDifat = (image.difatSectorIds().back() + 1) * 512;
    EXPECT_EQ(image.U32(lastDifat + 508), 0xFFFFFFFEu) << "the last DIFAT sector ends the chain";
    const int id = image.Descend(image.entries()[0], u"big");
    ASSERT_GE(id, 0);
    EXPECT_TRUE(image.Stream(image.entries()[id]) == big);
    EXPECT_EQ(image.Stream(image.entries()[image.Descend(image.entries()[0], u"small")]), "tiny");
}

TEST(CompoundFileWriter, StreamsAFileRangeAndRefusesBadNames) {
    test::TestFolder dir;
    test::WriteFile(dir / "f.bin", "0123456789");
    StreamContent content;
    content.AppendBytes({'<'});
    content.AppendSource(std::make_shared<FileByteSource>(dir / "f.bin"), 2, 5);
    content.AppendBytes({'>'});
    CompoundFileWriter writer;
    writer.AddStream(CompoundFileWriter::kRoot, u"f", std::move(content));
    CfbImage image(Written(writer));
    EXPECT_EQ(image.Stream(image.entries()[1]), "<23456>");

    EXPECT_THROW(writer.AddStream(CompoundFileWriter::kRoot, u"F", Content("")), Error);
    EXPECT_THROW(writer.AddStream(CompoundFileWriter::kRoot, u"", Content("")), Error);
    EXPECT_THROW(writer.AddStream(CompoundFileWriter::kRoot, u"a/b", Content("")), Error);
    EXPECT_THROW(writer.AddStream(CompoundFileWriter::kRoot, u"a!b", Content("")), Error);
    EXPECT_THROW(writer.AddStream(CompoundFileWriter::kRoot, std::u16string(32, u'n'), Content("")),
                 Error);
    EXPECT_NO_THROW(
        writer.AddStream(CompoundFileWriter::kRoot, std::u16string(31, u'n'), Content("")));
    EXPECT_THROW(writer.AddStream(1, u"child of a stream", Content("")), Error);
}

}  // namespace
}  // namespace quorlix
