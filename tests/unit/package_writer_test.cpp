// The package format as the reference writer of the test support writes it (the program's own
// writer is held to it byte for byte in parallel_package_writer_test), and the checks and helpers
// both use.
#include "package/package_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/ansi_code_page.h"
#include "platform/error.h"
#include "support/package_reading.h"
#include "support/serial_package_writer.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::CopyToStream;
using test::OutputStream;
using test::ReadFile;
using test::RecordingSink;
using test::TestFolder;
using test::WriteFile;

const std::string kPrefix = "PRECEDING BYTES";

// Writes the package after kPrefix into path and returns the entry count.
std::size_t WritePackageAfterPrefix(const std::string& path,
                                    const std::vector<std::string>& sources,
                                    const std::vector<std::string>& names, RecordingSink& sink) {
    WriteFile(path, kPrefix);
    File output = File::Open(path, File::Mode::WriteExclusive);
    output.SeekEnd();
    const std::size_t count = test::WritePackage(sources, names, output, sink);
    output.Close();
    return count;
}

TEST(PackageWriter, KnownFilesGiveExactRecordsDirectoryAndTrailer) {
    TestFolder dir;
    const std::string text = "[options]\r\nwidth=800\r\nwidth=800\r\nwidth=800\r\n";
    const std::string random = test::RandomBytes(100000, 7);
    WriteFile(dir / "winoptions.dll", text);
    WriteFile(dir / "empty.bin", "");
    WriteFile(dir / "font.ttf", random);
    RecordingSink sink;
    const std::string out = dir / "out.exe";
    const std::size_t count = WritePackageAfterPrefix(
        out, {dir / "winoptions.dll", dir / "empty.bin", dir / "font.ttf"},
        {"option\\winoptions.dll", "option\\empty", "myfont\\DejaVuSans.ttf"}, sink);
    EXPECT_EQ(count, 3u);

    const std::string bytes = ReadFile(out);
    ASSERT_EQ(bytes.substr(0, kPrefix.size()), kPrefix);
    const test::ReadPackage package = test::ReadPackageEndingAt(bytes, bytes.size());
    EXPECT_EQ(package.start, kPrefix.size()) << "entries start right after what was there";
    ASSERT_EQ(package.entries.size(), 3u);

    // Entries walked from the start, with inflate alone.
    std::size_t at = kPrefix.size();
    std::vector<std::size_t> records;
    for (const std::string& content : {text, std::string(), random}) {
        EXPECT_EQ(test::LE32At(bytes, at), content.size());
        EXPECT_EQ(bytes.substr(at + 4, 2), "\x78\x9C") << "zlib header of the default level";
        const test::Inflated inflated = test::InflateAt(bytes, at + 4);
        EXPECT_TRUE(inflated.ended);
        EXPECT_EQ(inflated.bytes, content);
        records.push_back(4 + inflated.consumed);
        at += 4 + inflated.consumed;
    }
    EXPECT_EQ(bytes.substr(kPrefix.size() + records[0], 12),
              std::string("\0\0\0\0\x78\x9C\x03\0\0\0\0\x01", 12))
        << "an empty file is the size 0 and the 8-byte empty stream";

    const std::string directory = "option\\winoptions.dll|" + std::to_string(records[0]) +
                                  "\r\noption\\empty|12\r\nmyfont\\DejaVuSans.ttf|" +
                                  std::to_string(records[2]) + "\r\n";
    EXPECT_EQ(bytes.substr(at, directory.size()), directory);
    at += directory.size();
    EXPECT_EQ(test::LE32At(bytes, at), directory.size());
    EXPECT_EQ(bytes.substr(at + 4), std::string("\x7A\x73\x66\x01", 4));
    EXPECT_EQ(bytes.size(), at + 8);
}

TEST(PackageWriter, NoEntriesGiveEightBytes) {
    TestFolder dir;
    RecordingSink sink;
    EXPECT_EQ(WritePackageAfterPrefix(dir / "out", {}, {}, sink), 0u);
    EXPECT_EQ(ReadFile(dir / "out"), kPrefix + std::string("\0\0\0\0\x7A\x73\x66\x01", 8));
}

TEST(PackageWriter, NamesDefaultToTheFileNameAndDuplicatesAreKept) {
    TestFolder dir;
    // A Linux file name may hold '\' and ':'; the entry name is what follows the last of them.
    WriteFile(dir / "C:\\a\\b\\logo.jpg", "jpeg");
    WriteFile(dir / "one.txt", "first");
    WriteFile(dir / "two.txt", "second");
    RecordingSink sink;
    const std::string out = dir / "out";
    WritePackageAfterPrefix(
        out, {dir / "C:\\a\\b\\logo.jpg", dir / "one.txt", dir / "two.txt", dir / "one.txt"},
        {"", "same", "same"}, sink);
    test::ReadPackage package = test::ReadPackageEndingAt(ReadFile(out), ReadFile(out).size());
    ASSERT_EQ(package.entries.size(), 4u);
    EXPECT_EQ(package.directory.substr(0, 9), "logo.jpg|");
    EXPECT_EQ(package.entries[1].name, "same");
    EXPECT_EQ(package.entries[1].content, "first");
    EXPECT_EQ(package.entries[2].name, "same");
    EXPECT_EQ(package.entries[2].content, "second");
    EXPECT_EQ(package.entries[3].name, "one.txt") << "beyond the names list the file name is used";

    WritePackageAfterPrefix(out, {dir / "two.txt"}, {}, sink);
    package = test::ReadPackageEndingAt(ReadFile(out), ReadFile(out).size());
    ASSERT_EQ(package.entries.size(), 1u);
    EXPECT_EQ(package.entries[0].name, "two.txt");

    // Names reach the directory in the ANSI code page.
    const std::string accented = "myfont\\caf\xC3\xA9.ttf";
    WritePackageAfterPrefix(out, {dir / "two.txt"}, {accented}, sink);
    const std::string bytes = ReadFile(out);
    package = test::ReadPackageEndingAt(bytes, bytes.size());
    ASSERT_EQ(package.entries.size(), 1u);
    EXPECT_EQ(package.entries[0].name, ToAnsi(accented));
    EXPECT_EQ(test::LE32At(bytes, bytes.size() - 8), package.directory.size());

    EXPECT_EQ(EntryNameOf("C:\\a\\b\\logo.jpg"), "logo.jpg");
    EXPECT_EQ(EntryNameOf("/tmp/w/option/1.png"), "1.png");
    EXPECT_EQ(EntryNameOf("D:font.ttf"), "font.ttf");
}

TEST(PackageWriter, ReportsEachFullBlockAndRaisesTheTotalHalfToEven) {
    TestFolder dir;
    const std::string big = test::RandomBytes(200000, 3);  // incompressible: three full blocks
    WriteFile(dir / "big", big);
    WriteFile(dir / "a", std::string(512, 'a'));
    WriteFile(dir / "b", std::string(1536, 'b'));
    WriteFile(dir / "c", std::string(2560, 'c'));
    WriteFile(dir / "d", std::string(1023, 'd'));
    RecordingSink sink;
    sink.total = 100;
    const std::string out = dir / "out";
    WritePackageAfterPrefix(out, {dir / "big", dir / "a", dir / "b", dir / "c", dir / "d"}, {},
                            sink);
    const test::ReadPackage package =
        test::ReadPackageEndingAt(ReadFile(out), ReadFile(out).size());
    ASSERT_EQ(package.entries.size(), 5u);
    const std::size_t bigStream = package.entries[0].recordLength - 4;
    ASSERT_EQ(sink.streamProgress.size(), bigStream / 65536) << "one call per full block";
    for (std::size_t i = 0; i < sink.streamProgress.size(); ++i) {
        EXPECT_LE(sink.streamProgress[i], big.size());
        if (i > 0) {
            EXPECT_GE(sink.streamProgress[i], sink.streamProgress[i - 1]);
        }
    }
    // 200000/1024 = 195.3 -> 195; 0.5 -> 0; 1.5 -> 2; 2.5 -> 2; 0.999 -> 1.
    EXPECT_EQ(sink.totals, (std::vector<std::uint32_t>{295, 295, 297, 299, 300}));
    EXPECT_TRUE(sink.addProgress.empty());
}

TEST(PackageWriter, TotalUsesTheSizeFoundAfterTheEntry) {
    TestFolder dir;
    WriteFile(dir / "gone", std::string(2048, 'g'));
    WriteFile(dir / "kept", std::string(2048, 'k'));
    RecordingSink sink;
    // Checks: before the entry, before its one chunk, after it; the file goes at the third.
    sink.onCheck = [&](int check) {
        if (check == 3) {
            std::filesystem::remove(dir / "gone");
        }
    };
    WritePackageAfterPrefix(dir / "out", {dir / "gone", dir / "kept"}, {}, sink);
    EXPECT_EQ(sink.totals, (std::vector<std::uint32_t>{0, 2})) << "a missing file adds 0";
}

TEST(PackageWriter, CancelBeforeTheFirstEntryWritesNothing) {
    TestFolder dir;
    WriteFile(dir / "a", "abc");
    RecordingSink sink;
    sink.cancelAtCheck = 1;
    EXPECT_EQ(WritePackageAfterPrefix(dir / "out", {dir / "a"}, {}, sink), 0u);
    EXPECT_EQ(ReadFile(dir / "out"), kPrefix);
    EXPECT_TRUE(sink.totals.empty());
}

TEST(PackageWriter, CancelDuringAnEntryEndsItsStreamShortAndWritesNothingMore) {
    TestFolder dir;
    const std::string big = test::RandomBytes(150000, 5);
    WriteFile(dir / "big", big);
    WriteFile(dir / "next", "next");
    RecordingSink sink;
    sink.cancelAtCheck = 3;  // before the entry, first chunk, then the second chunk
    EXPECT_EQ(WritePackageAfterPrefix(dir / "out", {dir / "big", dir / "next"}, {}, sink), 1u);
    const std::string bytes = ReadFile(dir / "out");
    EXPECT_EQ(test::LE32At(bytes, kPrefix.size()), big.size()) << "the size field stays full";
    const test::Inflated inflated = test::InflateAt(bytes, kPrefix.size() + 4);
    EXPECT_TRUE(inflated.ended);
    EXPECT_EQ(inflated.bytes, big.substr(0, 61440));
    EXPECT_EQ(bytes.size(), kPrefix.size() + 4 + inflated.consumed) << "no directory, no more";
    EXPECT_TRUE(sink.totals.empty());
}

TEST(PackageWriter, FailingSourcesRaiseAndKeepWhatWasWritten) {
    TestFolder dir;
    WriteFile(dir / "a", "abc");
    RecordingSink sink;
    const std::string out = dir / "out";
    try {
        WritePackageAfterPrefix(out, {dir / "a", dir / "missing"}, {}, sink);
        FAIL() << "a missing source must raise";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOENT);
    }
    std::string bytes = ReadFile(out);
    const test::Inflated first = test::InflateAt(bytes, kPrefix.size() + 4);
    EXPECT_EQ(first.bytes, "abc");
    EXPECT_EQ(bytes.size(), kPrefix.size() + 4 + first.consumed) << "no directory";

    EXPECT_THROW(WritePackageAfterPrefix(out, {dir / "a"}, {"bad|name"}, sink), Error);
    EXPECT_THROW(WritePackageAfterPrefix(out, {dir / "a"}, {"bad\r\nname"}, sink), Error);
    EXPECT_EQ(ReadFile(out), kPrefix) << "a bad name is refused before its entry is written";

    // A record length that the directory cannot hold: refused before any byte of it is written.
    {
        File sparse = File::Open(dir / "huge", File::Mode::CreateTruncate);
        ASSERT_EQ(::ftruncate(sparse.descriptor(), off_t{1} << 31), 0);
    }
    try {
        WritePackageAfterPrefix(out, {dir / "huge"}, {}, sink);
        FAIL() << "a 2 GiB source must raise";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), EFBIG);
    }
    EXPECT_EQ(ReadFile(out), kPrefix);
}

// A target that keeps the chunks it is given.
class ChunkRecorder : public OutputStream {
public:
    std::vector<std::string> chunks;
    void Write(const void* buffer, std::size_t count) override {
        chunks.emplace_back(static_cast<const char*>(buffer), count);
    }
};

TEST(PackageWriter, CopyToStreamChunksCountsAndStops) {
    TestFolder dir;
    const std::string data = test::RandomBytes(130000, 9);
    WriteFile(dir / "src", data);
    File source = File::Open(dir / "src", File::Mode::Read);
    RecordingSink sink;

    source.Seek(500);
    ChunkRecorder whole;
    EXPECT_EQ(CopyToStream(source, whole, 0, sink), data.size()) << "0 is the whole source";
    ASSERT_EQ(whole.chunks.size(), 3u);
    EXPECT_EQ(whole.chunks[0], data.substr(0, 61440));
    EXPECT_EQ(whole.chunks[1].size(), 61440u);
    EXPECT_EQ(whole.chunks[2], data.substr(122880));

    source.Seek(10);
    ChunkRecorder part;
    EXPECT_EQ(CopyToStream(source, part, 100, sink), 100u);
    ASSERT_EQ(part.chunks.size(), 1u);
    EXPECT_EQ(part.chunks[0], data.substr(10, 100));

    source.Seek(0);
    sink.checks = 0;
    sink.cancelAtCheck = 2;
    ChunkRecorder stopped;
    EXPECT_EQ(CopyToStream(source, stopped, 0, sink), data.size()) << "the count asked for";
    EXPECT_EQ(stopped.chunks.size(), 1u);

    sink.cancelAtCheck = 0;
    sink.cancelled = false;
    source.Seek(129000);
    ChunkRecorder shortRead;
    EXPECT_THROW(CopyToStream(source, shortRead, 5000, sink), std::system_error);
}

TEST(PackageWriter, TextBeforeAndAfterSplitAtTheFirstSeparator) {
    EXPECT_EQ(TextBefore("a.ttf|b.ttf", "|"), "a.ttf");
    EXPECT_EQ(TextAfter("a.ttf|b.ttf", "|"), "b.ttf");
    EXPECT_EQ(TextAfter("a|b|c", "|"), "b|c");
    EXPECT_EQ(TextBefore("a.ttf", "|"), "");
    EXPECT_EQ(TextAfter("a.ttf", "|"), "");
    EXPECT_EQ(TextBefore("|b", "|"), "");
    EXPECT_EQ(TextAfter("a|", "|"), "");
}

}  // namespace
}  // namespace quorlix
