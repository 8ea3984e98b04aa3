#include "package/output_assembly.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <system_error>

#include "platform/error.h"
#include "support/output_steps.h"
#include "support/package_reading.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::AppendDocument;
using test::AppendEndMarker;
using test::AppendPackage;
using test::ExtractStub;
using test::ReadFile;
using test::RecordingSink;
using test::TestFolder;
using test::WriteFile;

const std::string kEndMarker(256, '\x0E');

// The document section's scrambling, written out here independently of the writer.
std::string Scrambled(std::string bytes) {
    const std::string key = "%:QX-vmrtpwj";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ (key[i % 12] & 0x0F));
    }
    return bytes;
}

std::string LE32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

// A resource in the stub's form: u32 size, then a zlib stream of content.
std::string Resource(std::uint32_t size, const std::string& content) {
    uLongf length = compressBound(content.size());
    std::string stream(length, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(stream.data()), &length,
                        reinterpret_cast<const Bytef*>(content.data()), content.size(), 6),
              Z_OK);
    stream.resize(length);
    return LE32(size) + stream;
}

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(OutputAssembly, CompleteOutputReadsBackFromTheEnd) {
    TestFolder dir;
    const std::string stub = ReadFile(QUORLIX_STUB_PATH);
    ASSERT_GT(stub.size(), 1000u);
    const std::string document = test::RandomBytes(70000, 11);
    const std::string options = "800\r\n600\r\n1\r\n";
    WriteFile(dir / "~~~.txt", document);
    WriteFile(dir / "winoptions.dll", options);
    WriteFile(dir / "empty", "");
    const std::string out = dir / "out/doc.exe";
    RecordingSink sink;

    ASSERT_TRUE(ExtractStub("exefile", "head", out));
    EXPECT_EQ(ReadFile(out), stub);
    ASSERT_TRUE(AppendDocument(dir / "~~~.txt", out, sink));
    EXPECT_EQ(sink.addProgress, (std::vector<std::uint32_t>{61440, 8560}));
    ASSERT_TRUE(AppendPackage(out, std::vector<std::string>{dir / "winoptions.dll", dir / "empty"},
                              std::vector<std::string>{"option\\winoptions.dll", ""}, sink));
    ASSERT_TRUE(AppendEndMarker(out));

    const std::string bytes = ReadFile(out);
    ASSERT_GT(bytes.size(), stub.size() + document.size() + 256);
    const std::size_t marker = bytes.size() - 256;
    EXPECT_EQ(bytes.substr(marker), kEndMarker);
    const std::uint32_t packageSize = test::LE32At(bytes, marker - 4);
    const std::size_t packageEnd = marker - 4;
    const test::ReadPackage package = test::ReadPackageEndingAt(bytes, packageEnd);
    EXPECT_EQ(package.start, packageEnd - packageSize);
    ASSERT_EQ(package.entries.size(), 2u);
    EXPECT_EQ(package.entries[0].name, "option\\winoptions.dll");
    EXPECT_EQ(package.entries[0].sizeField, options.size());
    EXPECT_EQ(package.entries[0].content, options);
    EXPECT_EQ(package.entries[1].name, "empty");
    EXPECT_EQ(package.entries[1].recordLength, 12u);
    EXPECT_EQ(package.directory, "option\\winoptions.dll|" +
                                     std::to_string(package.entries[0].recordLength) +
                                     "\r\nempty|12\r\n");

    const std::uint32_t trailer = test::LE32At(bytes, package.start - 4);
    EXPECT_EQ(trailer, document.size() + 4);
    const std::size_t sectionStart = package.start - trailer;
    EXPECT_EQ(sectionStart, stub.size());
    EXPECT_EQ(bytes.substr(sectionStart, document.size()), Scrambled(document));
    EXPECT_EQ(bytes.substr(0, sectionStart), stub);
}

TEST(OutputAssembly, EmptyDocumentAndEmptyPackageGiveTheirFixedTrailers) {
    TestFolder dir;
    WriteFile(dir / "doc", "");
    WriteFile(dir / "out.exe", "MZ");
    RecordingSink sink;
    ASSERT_TRUE(AppendDocument(dir / "doc", dir / "out.exe", sink));
    ASSERT_TRUE(AppendPackage(dir / "out.exe", {}, {}, sink));
    ASSERT_TRUE(AppendEndMarker(dir / "out.exe"));
    EXPECT_EQ(ReadFile(dir / "out.exe"),
              "MZ" + LE32(4) + LE32(0) + "zsf\x01" + LE32(8) + kEndMarker);
    EXPECT_TRUE(sink.addProgress.empty());
}

TEST(OutputAssembly, ScramblingRunsOnAcrossChunksAndUndoesItself) {
    TestFolder dir;
    const std::string document = test::RandomBytes(61441, 12);
    WriteFile(dir / "doc", document);
    WriteFile(dir / "out", "");
    RecordingSink sink;
    ASSERT_TRUE(AppendDocument(dir / "doc", dir / "out", sink));
    EXPECT_EQ(sink.addProgress, (std::vector<std::uint32_t>{61440, 1}));
    const std::string bytes = ReadFile(dir / "out");
    ASSERT_EQ(bytes.size(), 61445u);
    EXPECT_EQ(bytes[61440], static_cast<char>(document[61440] ^ ('%' & 0x0F)));
    EXPECT_EQ(bytes.substr(0, 61441), Scrambled(document));
    EXPECT_EQ(bytes.substr(61441), LE32(61445));

    WriteFile(dir / "once", bytes.substr(0, 61441));
    WriteFile(dir / "twice", "");
    ASSERT_TRUE(AppendDocument(dir / "once", dir / "twice", sink));
    EXPECT_EQ(ReadFile(dir / "twice").substr(0, 61441), document);
}

TEST(OutputAssembly, CancelStopsTheDocumentAndFailsThePackage) {
    TestFolder dir;
    const std::string document = test::RandomBytes(150000, 13);
    WriteFile(dir / "doc", document);
    WriteFile(dir / "file", "content");
    WriteFile(dir / "out", "STUB");
    RecordingSink sink;
    sink.cancelAtCheck = 2;
    ASSERT_TRUE(AppendDocument(dir / "doc", dir / "out", sink));
    const std::string afterDocument = "STUB" + Scrambled(document.substr(0, 61440)) + LE32(61444);
    EXPECT_EQ(ReadFile(dir / "out"), afterDocument) << "the trailer records the shorter length";

    EXPECT_FALSE(AppendPackage(dir / "out", std::vector<std::string>{dir / "file"}, {}, sink));
    EXPECT_EQ(ReadFile(dir / "out"), afterDocument) << "no entry and no package trailer";

    // A cancel inside the package leaves the entry so far, without directory or trailer.
    WriteFile(dir / "out", "STUB");
    RecordingSink late;
    late.cancelAtCheck = 3;
    EXPECT_FALSE(AppendPackage(dir / "out", std::vector<std::string>{dir / "doc"}, {}, late));
    const std::string bytes = ReadFile(dir / "out");
    const test::Inflated entry = test::InflateAt(bytes, 8);
    EXPECT_EQ(entry.bytes, document.substr(0, 61440));
    EXPECT_EQ(bytes.size(), 8 + entry.consumed);
}

TEST(OutputAssembly, LockedOrMissingOutputAndUnreadableDocumentGiveFalse) {
    TestFolder dir;
    WriteFile(dir / "doc", "document");
    WriteFile(dir / "out", "STUB");
    RecordingSink sink;
    {
        File holder = File::Open(dir / "out", File::Mode::WriteExclusive);
        EXPECT_FALSE(AppendDocument(dir / "doc", dir / "out", sink));
        EXPECT_FALSE(AppendPackage(dir / "out", {}, {}, sink));
        EXPECT_FALSE(AppendEndMarker(dir / "out"));
        EXPECT_FALSE(ExtractStub("exefile", "head", dir / "out"));
        EXPECT_EQ(ReadFile(dir / "out"), "STUB");
    }
    EXPECT_FALSE(AppendDocument(dir / "missing", dir / "out", sink));
    EXPECT_EQ(ReadFile(dir / "out"), "STUB");
    EXPECT_FALSE(AppendDocument(dir / "doc", dir / "nothing-here", sink));
    EXPECT_FALSE(AppendPackage(dir / "nothing-here", {}, {}, sink));
    EXPECT_FALSE(AppendEndMarker(dir / "nothing-here"));
    EXPECT_FALSE(std::filesystem::exists(dir / "nothing-here"));

    // A document whose trailer D + 4 would not fit in 32 bits is refused before any byte.
    {
        File sparse = File::Open(dir / "huge", File::Mode::CreateTruncate);
        ASSERT_EQ(::ftruncate(sparse.descriptor(), off_t{1} << 32), 0);
    }
    EXPECT_FALSE(AppendDocument(dir / "huge", dir / "out", sink));
    EXPECT_EQ(ReadFile(dir / "out"), "STUB");
    EXPECT_TRUE(AppendEndMarker(dir / "out")) << "the lock went with its holder";
}

TEST(OutputAssembly, ExtractStubCreatesFoldersAndReplacesButNeedsTheResource) {
    TestFolder dir;
    EXPECT_FALSE(ExtractStub("exefile", "nosuchname", dir / "new/x.exe"));
    EXPECT_FALSE(std::filesystem::exists(dir / "new"));

    const std::string out = dir / "a/b/out.exe";
    ASSERT_TRUE(ExtractStub("EXEFILE", "Head", out));
    const std::string stub = ReadFile(QUORLIX_STUB_PATH);
    EXPECT_EQ(ReadFile(out), stub);
    WriteFile(out, std::string(stub.size() + 5000, 'x'));
    ASSERT_TRUE(ExtractStub("exefile", "head", out));
    EXPECT_EQ(ReadFile(out), stub) << "an existing file is replaced";
}

TEST(OutputAssembly, InflateResourceGivesExactlyTheSizeOrRaises) {
    const std::string content = test::RandomBytes(300000, 14);
    const std::string good = Resource(300000, content);
    const auto Text = [](const std::vector<std::uint8_t>& bytes) {
        return std::string(bytes.begin(), bytes.end());
    };

    EXPECT_EQ(Text(InflateResource(Bytes(good + "padding"))), content);
    EXPECT_EQ(Text(InflateResource(Bytes(LE32(0) + "not a stream"))), "") << "size 0 is empty";

    EXPECT_THROW(InflateResource(Bytes(Resource(300001, content))), Error);
    EXPECT_EQ(Text(InflateResource(Bytes(Resource(299999, content)))), content.substr(0, 299999))
        << "a longer stream gives its first bytes";
    EXPECT_THROW(InflateResource(Bytes(good.substr(0, good.size() - 2))), Error)
        << "a stream without its full check value";
    EXPECT_THROW(InflateResource(Bytes(good.substr(0, 1000))), Error);

    std::string damaged = Resource(20000, std::string(20000, 'a'));
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_THROW(InflateResource(Bytes(damaged)), Error);
    std::string badHeader = good;
    badHeader[4] = 0x12;
    EXPECT_THROW(InflateResource(Bytes(badHeader)), Error);

    EXPECT_THROW(InflateResource(Bytes("ab")), Error);
}

TEST(OutputAssembly, UnreadableStagedFileRaisesOutOfAppendPackage) {
    TestFolder dir;
    WriteFile(dir / "first", "first file");
    WriteFile(dir / "out", "STUB");
    RecordingSink sink;
    try {
        AppendPackage(dir / "out", std::vector<std::string>{dir / "first", dir / "gone"}, {}, sink);
        FAIL() << "a missing staged file must raise";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOENT);
    }
    const std::string bytes = ReadFile(dir / "out");
    EXPECT_EQ(test::LE32At(bytes, 4), 10u);
    const test::Inflated entry = test::InflateAt(bytes, 8);
    EXPECT_EQ(entry.bytes, "first file");
    EXPECT_EQ(bytes.size(), 8 + entry.consumed) << "a partial package, no directory or trailer";
    EXPECT_NO_THROW(File::Open(dir / "out", File::Mode::WriteExclusive)) << "the output is closed";
}

}  // namespace
}  // namespace quorlix
