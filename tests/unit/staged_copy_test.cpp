#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/document_container.h"
#include "platform/error.h"
#include "platform/package_names.h"
#include "platform/run_folder.h"
#include "platform/temp_folder.h"
#include "support/cfb_image.h"
#include "support/staged_copy_bytes.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::CfbImage;
using test::TestFolder;

std::uint32_t Le32(const std::string& bytes, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    }
    return v;
}

std::string Le32Bytes(std::uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>(v >> (8 * i));
    }
    return out;
}

std::string Utf16Bytes(const std::string& ascii) {
    std::string out = Le32Bytes(static_cast<std::uint32_t>(ascii.size()));
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// The \x01Ole10Native bytes Windows' packager lays out for an ASCII name under "C:\".
std::string ExpectedNative(const std::string& name, const std::string& data) {
    const std::string path = "C:\\" + name;
    std::string body = std::string("\x02\x00", 2) + name + '\0' + path + '\0' +
                       std::string("\x00\x00\x03\x00", 4) +
                       Le32Bytes(static_cast<std::uint32_t>(path.size() + 1)) + path + '\0' +
                       Le32Bytes(static_cast<std::uint32_t>(data.size())) + data +
                       Utf16Bytes(path) + Utf16Bytes(name) + Utf16Bytes(path);
    return Le32Bytes(static_cast<std::uint32_t>(body.size())) + body;
}

const char kCompObj[] =
    "\x01\x00\xFE\xFF\x03\x0A\x00\x00\xFF\xFF\xFF\xFF"
    "\x0C\x00\x03\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46"
    "\x0C\x00\x00\x00OLE Package\x00\x00\x00\x00\x00"
    "\x08\x00\x00\x00Package\x00\xF4\x39\xB2\x71"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00";

// The document embedded and saved, as bytes; its size was known before they were written.
std::string StagedCopyOf(const std::string& document) {
    DocumentContainer container;
    container.CreateObjectFromFile(document);
    const std::shared_ptr<const StagedCopy> staged = container.Save();
    const std::string bytes = test::StagedCopyBytes(*staged);
    EXPECT_EQ(staged->size(), bytes.size());
    return bytes;
}

void CheckStagedCopy(const std::string& staged, const std::string& name, const std::string& data) {
    ASSERT_GE(staged.size(), 12u);
    EXPECT_EQ(staged.substr(0, 8), std::string("\x42\x44\x4F\x43\x01\x00\x00\x00", 8));
    ASSERT_EQ(Le32(staged, 8), staged.size() - 12);
    CfbImage image(staged.substr(12));
    const auto& root = image.entries()[0];
    EXPECT_EQ(root.classId,
              std::string("\x0C\x00\x03\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    EXPECT_EQ(root.modified, 0u) << "no clock in the output";
    EXPECT_EQ(root.created, 0u);
    const int compObj = image.Descend(root,
                                      u"\x01"
                                      u"CompObj");
    const int native = image.Descend(root,
                                     u"\x01"
                                     u"Ole10Native");
    ASSERT_GE(compObj, 0);
    ASSERT_GE(native, 0);
    EXPECT_EQ(image.Stream(image.entries()[compObj]), std::string(kCompObj, 76));
    const std::string stream = image.Stream(image.entries()[native]);
    EXPECT_TRUE(stream == ExpectedNative(name, data)) << "for " << data.size() << " bytes";
}

TEST(StagedCopy, HoldsTheDocumentInAPackageObjectForEverySize) {
    TestFolder dir;
    // \x01Ole10Native adds 114 bytes for "doc.bin": these sizes put the stream at 4,095 and
    // 4,096 bytes, on both sides of the mini stream cut-off; 8 MB needs DIFAT sectors.
    const std::size_t overhead = ExpectedNative("doc.bin", "").size();
    const std::vector<std::size_t> sizes = {0,    100,  4095 - overhead, 4096 - overhead,
                                            4095, 4096, 5'000'000,       8'000'000};
    bool sawMini = false, sawRegular = false, sawDifat = false;
    for (std::size_t size : sizes) {
        const std::string data = test::RandomBytes(size, static_cast<unsigned>(size));
        test::WriteFile(dir / "doc.bin", data);
        const std::string staged = StagedCopyOf(dir / "doc.bin");
        CheckStagedCopy(staged, "doc.bin", data);
        CfbImage image(staged.substr(12));
        const auto& native = image.entries()[image.Descend(image.entries()[0], u"\x01Ole10Native")];
        sawMini |= native.size == 4095;
        sawRegular |= native.size == 4096;
        sawDifat |= image.U32(0x48) > 0;
        if (image.U32(0x48) > 0) {
            EXPECT_EQ(image.U32(0x48), (image.U32(0x2C) - 109 + 126) / 127);
            EXPECT_EQ(image.U32(0x44), image.difatSectorIds().front());
        } else {
            EXPECT_EQ(image.U32(0x44), 0xFFFFFFFEu);
        }
    }
    EXPECT_TRUE(sawMini && sawRegular && sawDifat);
}

TEST(StagedCopy, SameDocumentGivesTheSameBytes) {
    TestFolder dir;
    test::WriteFile(dir / "report.docx", test::RandomBytes(20000, 3));
    const std::string first = StagedCopyOf(dir / "report.docx");
    const std::string second = StagedCopyOf(dir / "report.docx");
    EXPECT_TRUE(first == second);
    CheckStagedCopy(first, "report.docx", test::RandomBytes(20000, 3));
    // One staged copy written twice reads the document twice, from its start.
    const std::shared_ptr<const StagedCopy> staged = StageDocument(dir / "report.docx");
    EXPECT_TRUE(test::StagedCopyBytes(*staged) == first);
    EXPECT_TRUE(test::StagedCopyBytes(*staged) == first);
}

TEST(StagedCopy, AMissingUnreadableOrShortenedDocumentThrowsAndNothingIsWritten) {
    TestFolder dir;
    DocumentContainer container;
    try {
        container.CreateObjectFromFile(dir / "missing.doc");
        FAIL() << "a missing document must throw";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOENT);
        EXPECT_NE(std::string(e.what()).find(std::strerror(ENOENT)), std::string::npos) << e.what();
    }
    EXPECT_FALSE(container.HasObject());
    std::filesystem::create_directory(dir / "folder.doc");
    EXPECT_THROW(container.CreateObjectFromFile(dir / "folder.doc"), std::system_error);
    if (::geteuid() != 0) {
        test::WriteFile(dir / "locked.doc", "x");
        ::chmod((dir / "locked.doc").c_str(), 0);
        EXPECT_THROW(container.CreateObjectFromFile(dir / "locked.doc"), std::system_error);
        ::unlink((dir / "locked.doc").c_str());
    }

    // A document gone between embedding and saving.
    test::WriteFile(dir / "gone.doc", "bytes");
    container.CreateObjectFromFile(dir / "gone.doc");
    std::filesystem::remove(dir / "gone.doc");
    EXPECT_THROW(container.Save(), std::system_error);

    // Saved, then cut short before its staged copy is written: the copy fails, it never pads.
    test::WriteFile(dir / "short.doc", test::RandomBytes(10000, 4));
    container.CreateObjectFromFile(dir / "short.doc");
    const std::shared_ptr<const StagedCopy> staged = container.Save();
    std::filesystem::resize_file(dir / "short.doc", 5000);
    try {
        test::StagedCopyBytes(*staged);
        FAIL() << "a document cut short must throw";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), EIO);
    }

    std::vector<std::string> left;
    for (const auto& item : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(item.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"folder.doc", "short.doc"}))
        << "a staged copy is never a file";
}

TEST(StagedCopy, ADocumentTooLargeToEmbedIsRefusedWithItsNameAndTheLimit) {
    TestFolder dir;
    test::WriteFile(dir / "fits.doc", "");
    std::filesystem::resize_file(dir / "fits.doc", kMaxEmbeddedFileSize);
    test::WriteFile(dir / "huge.doc", "");
    std::filesystem::resize_file(dir / "huge.doc", kMaxEmbeddedFileSize + 1);
    DocumentContainer container;
    container.CreateObjectFromFile(dir / "fits.doc");
    EXPECT_TRUE(container.HasObject()) << "the largest size that fits is taken";
    try {
        container.CreateObjectFromFile(dir / "huge.doc");
        FAIL() << "a document past the limit must throw";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The document is too large to embed: " + dir / "huge.doc" +
                      " holds 2147418113 bytes, and the largest document that fits is "
                      "2147418112 bytes (2 GiB less 64 KiB)");
    }
    EXPECT_FALSE(container.HasObject());
}

TEST(StagedCopy, ContainerGivesUpTheOldObjectAndKeepsUiActiveWhileItCannotDeactivate) {
    TestFolder dir;
    test::WriteFile(dir / "a.doc", "first");
    test::WriteFile(dir / "b.doc", "second");
    DocumentContainer container;
    EXPECT_THROW(container.Save(), std::exception) << "nothing to save";
    container.CreateObjectFromFile(dir / "a.doc");
    container.CreateObjectFromFile(dir / "b.doc");
    CheckStagedCopy(test::StagedCopyBytes(*container.Save()), "b.doc", "second");
    EXPECT_THROW(container.CreateObjectFromFile(dir / "missing.doc"), std::system_error);
    EXPECT_FALSE(container.HasObject()) << "the previous object is given up first";

    container.CreateObjectFromFile(dir / "a.doc");
    container.SetCannotDeactivate(true);
    container.UIActivate();
    container.UIDeactivate();
    EXPECT_TRUE(container.UIActive());
    container.SetCannotDeactivate(false);
    container.UIDeactivate();
    EXPECT_FALSE(container.UIActive());
}

TEST(StagedCopy, PackageNamesRevealNoFolderAndFitWindowsPaths) {
    const PackageNames plain = PackageNamesFor("Guide.docx");
    EXPECT_EQ(plain.label, "Guide.docx");
    EXPECT_EQ(plain.sourcePath, "C:\\Guide.docx");
    EXPECT_EQ(plain.temporaryPath, "C:\\Guide.docx");
    EXPECT_EQ(PackageNamesFor("a\\b:c*?.doc").label, "a_b_c__.doc");
    EXPECT_EQ(PackageNamesFor("").label, "document");

    const std::string longName = std::string(300, 'n') + ".docx";
    const PackageNames shortened = PackageNamesFor(longName);
    EXPECT_EQ(shortened.sourcePath.size(), 259u);
    EXPECT_EQ(shortened.label, std::string(256 - 5, 'n') + ".docx");
    // Two-byte characters are cut whole.
    std::string accents;
    for (int i = 0; i < 120; ++i) {
        accents += "\xC3\xA9";
    }
    const PackageNames wide = PackageNamesFor(std::string(200, 'a') + accents + ".doc");
    EXPECT_EQ(wide.label, std::string(200, 'a') + accents.substr(0, 2 * 52) + ".doc");
}

TEST(StagedCopy, UnicodeTailKeepsTheRealName) {
    TestFolder dir;
    const std::string name = "R\xC3\xA9sum\xC3\xA9.doc";  // Résumé.doc
    test::WriteFile(dir / name, "data");
    const std::string staged = StagedCopyOf(dir / name);
    CfbImage image(staged.substr(12));
    const auto& entry = image.entries()[image.Descend(image.entries()[0], u"\x01Ole10Native")];
    const std::string native = image.Stream(entry);
    const std::string utf16Name("R\0\xE9\0s\0u\0m\0\xE9\0.\0d\0o\0c\0", 20);
    EXPECT_NE(native.find(Le32Bytes(10) + utf16Name), std::string::npos);
    EXPECT_EQ(native.find(dir.path()), std::string::npos) << "no folder of this computer";
}

TEST(RunFolder, MadeWithItsParentsAndDeletedWithItsContent) {
    TestFolder dir;
    const std::string path = dir / "a/b/run";
    {
        RunFolder folder(path + "/");
        EXPECT_EQ(folder.path(), path);
        EXPECT_TRUE(std::filesystem::is_directory(path));
        test::WriteFile(path + "/inside.txt", "x");
        EXPECT_THROW(RunFolder again(path), std::exception) << "an existing folder is not taken";
        EXPECT_TRUE(std::filesystem::exists(path + "/inside.txt"));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(dir / "a/b"));

    const std::string fresh = NewRunFolderPath();
    const std::string prefix = TempFolderPath() + "dorvane/";
    ASSERT_EQ(fresh.compare(0, prefix.size(), prefix), 0) << fresh;
    EXPECT_EQ(fresh.size(), prefix.size() + 38);
    EXPECT_NE(fresh, NewRunFolderPath());
    {
        RunFolder folder(fresh);
        EXPECT_TRUE(std::filesystem::is_directory(fresh));
    }
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

}  // namespace
}  // namespace quorlix
