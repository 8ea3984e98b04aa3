#include "common/payload_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/payload_error.h"
#include "platform/file_byte_source.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

// --- Output files put together by hand, byte by byte -------------------------------------------

std::string LE32(std::uint32_t v) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::string Compress(const std::string& data) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string out(length, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &length,
                        reinterpret_cast<const Bytef*>(data.data()),
                        static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION),
              Z_OK);
    out.resize(length);
    return out;
}

std::string Scrambled(std::string document) {
    const char key[] = "%:QX-vmrtpwj";
    for (std::size_t i = 0; i < document.size(); ++i) {
        document[i] = static_cast<char>(document[i] ^ (key[i % 12] & 0x0F));
    }
    return document;
}

const std::string kMarker(256, '\x0E');
const std::string kSignature("zsf\x01", 4);

// One output file and where its parts went.
struct Output {
    std::string bytes;
    std::uint64_t documentOffset = 0;
    std::uint64_t packageStart = 0;
    std::uint64_t directoryOffset = 0;
    std::vector<std::uint64_t> recordOffsets;
};

// Stub, scrambled document, D + 4, the records, the directory text, L, signature, P, marker.
Output Assemble(const std::string& stub, const std::string& document,
                const std::vector<std::string>& records, const std::string& directory) {
    Output out;
    out.bytes = stub;
    out.documentOffset = out.bytes.size();
    out.bytes += Scrambled(document) + LE32(static_cast<std::uint32_t>(document.size() + 4));
    out.packageStart = out.bytes.size();
    for (const std::string& record : records) {
        out.recordOffsets.push_back(out.bytes.size());
        out.bytes += record;
    }
    out.directoryOffset = out.bytes.size();
    out.bytes += directory + LE32(static_cast<std::uint32_t>(directory.size())) + kSignature;
    out.bytes += LE32(static_cast<std::uint32_t>(out.bytes.size() - out.packageStart)) + kMarker;
    return out;
}

struct Entry {
    std::string name;
    std::string data;
};

std::string Record(const std::string& data) {
    return LE32(static_cast<std::uint32_t>(data.size())) + Compress(data);
}

Output Build(const std::string& stub, const std::string& document,
             const std::vector<Entry>& entries) {
    std::vector<std::string> records;
    std::string directory;
    for (const Entry& entry : entries) {
        records.push_back(Record(entry.data));
        directory += entry.name + "|" + std::to_string(records.back().size()) + "\r\n";
    }
    return Assemble(stub, document, records, directory);
}

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::string ToString(const std::vector<std::uint8_t>& v) {
    return {v.begin(), v.end()};
}

std::string Collect(const std::function<void(const ChunkSink&)>& copy,
                    std::size_t* chunks = nullptr) {
    std::string bytes;
    copy([&](std::span<const std::uint8_t> chunk) {
        EXPECT_LE(chunk.size(), 65536u);
        bytes.append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
        if (chunks != nullptr) {
            ++*chunks;
        }
    });
    return bytes;
}

// Reads the layout, the document and every entry; returns what was read, names and all.
std::string ReadEverything(const std::string& file) {
    MemoryByteSource source(Bytes(file));
    PayloadReader reader(source);
    std::string all = Collect([&](const ChunkSink& s) { reader.CopyStub(s); });
    all += Collect([&](const ChunkSink& s) {
        reader.CopyDocument(PayloadReader::DocumentForm::Unscrambled, s);
    });
    for (std::size_t i = 0; i < reader.layout().entries.size(); ++i) {
        all += "|" + reader.layout().entries[i].name + "|" + ToString(reader.EntryBytes(i));
    }
    return all;
}

// Runs `read` and checks that it throws PayloadError with that position and reason.
void ExpectPayloadError(const std::function<void()>& read, std::uint64_t position,
                        const std::string& reason) {
    try {
        read();
        ADD_FAILURE() << "no PayloadError; expected \"" << reason << "\"";
    } catch (const PayloadError& e) {
        EXPECT_EQ(e.reason(), reason);
        EXPECT_EQ(e.position(), position) << e.what();
        EXPECT_EQ(std::string(e.what()), reason + " at byte " + std::to_string(position));
    }
}

// A small output used by the damage tests.
Output SmallOutput() {
    return Build(test::RandomBytes(64, 1), "the staged copy of a document",
                 {{"option\\winoptions.dll", "1\r\n0\r\n800\r\n600\r\n"}, {"option\\1.png", ""}});
}

// --- Reading good files --------------------------------------------------------------------------

TEST(PayloadReader, ReadsEveryPartOfAHandBuiltOutput) {
    const std::string stub = test::RandomBytes(5000, 2);
    const std::string document = test::RandomBytes(61441, 3);  // two chunks: 61,440 and 1
    const std::vector<Entry> entries = {
        {"option\\winoptions.dll", "1\r\n0\r\n1024\r\n768\r\n"},
        {"myfont\\big font.ttf", test::RandomBytes(200000, 4)},  // more than one inflate chunk
        {"option\\empty.dll", ""},
    };
    const Output out = Build(stub, document, entries);
    const std::string directory =
        "option\\winoptions.dll|" + std::to_string(out.recordOffsets[1] - out.recordOffsets[0]) +
        "\r\nmyfont\\big font.ttf|" + std::to_string(out.recordOffsets[2] - out.recordOffsets[1]) +
        "\r\noption\\empty.dll|12\r\n";

    test::TestFolder dir;
    test::WriteFile(dir / "out.exe", out.bytes);
    FileByteSource source(dir / "out.exe");
    const PayloadReader reader(source);
    const PayloadLayout& l = reader.layout();
    const std::uint64_t f = out.bytes.size();
    EXPECT_EQ(l.fileSize, f);
    EXPECT_EQ(l.endMarker, f - 256);
    EXPECT_EQ(l.stub.offset, 0u);
    EXPECT_EQ(l.stub.size, 5000u);
    EXPECT_EQ(l.document.offset, 5000u);
    EXPECT_EQ(l.document.size, 61441u);
    EXPECT_EQ(l.package.offset, 5000u + 61441u + 4u);
    EXPECT_EQ(l.package.end(), f - 260);
    EXPECT_EQ(l.directory.offset, out.directoryOffset);
    EXPECT_EQ(l.directory.size, directory.size());
    EXPECT_EQ(out.bytes.substr(out.directoryOffset, directory.size()), directory);
    ASSERT_EQ(l.entries.size(), 3u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i].name);
        EXPECT_EQ(l.entries[i].name, entries[i].name);
        EXPECT_EQ(l.entries[i].offset, out.recordOffsets[i]);
        EXPECT_EQ(l.entries[i].size, entries[i].data.size());
        EXPECT_EQ(ToString(reader.EntryBytes(i)), entries[i].data);
    }
    EXPECT_EQ(l.entries[2].recordLength, 12u);

    std::size_t chunks = 0;
    EXPECT_EQ(Collect([&](const ChunkSink& s) { reader.InflateEntry(1, s); }, &chunks),
              entries[1].data);
    EXPECT_GE(chunks, 4u);
    EXPECT_EQ(Collect([&](const ChunkSink& s) { reader.CopyStub(s); }), stub);
    EXPECT_EQ(Collect([&](const ChunkSink& s) {
                  reader.CopyDocument(PayloadReader::DocumentForm::Unscrambled, s);
              }),
              document);
    EXPECT_EQ(Collect([&](const ChunkSink& s) {
                  reader.CopyDocument(PayloadReader::DocumentForm::Scrambled, s);
              }),
              out.bytes.substr(5000, 61441));
}

TEST(PayloadReader, EmptyDocumentAndEmptyPackage) {
    const Output out = Build("MZ", "", {});
    // Stub, D + 4 = 4, L = 0, signature, P = 8, marker.
    EXPECT_EQ(out.bytes, std::string("MZ") + LE32(4) + LE32(0) + kSignature + LE32(8) + kMarker);
    MemoryByteSource source(Bytes(out.bytes));
    const PayloadReader reader(source);
    EXPECT_EQ(reader.layout().stub.size, 2u);
    EXPECT_EQ(reader.layout().document.size, 0u);
    EXPECT_EQ(reader.layout().package.size, 8u);
    EXPECT_TRUE(reader.layout().entries.empty());
    EXPECT_EQ(Collect([&](const ChunkSink& s) {
                  reader.CopyDocument(PayloadReader::DocumentForm::Unscrambled, s);
              }),
              "");
}

TEST(PayloadReader, BytesAfterTheEndMarkerAndAFileOfOnlyMarkerBytes) {
    const Output out = SmallOutput();
    const std::string appended = out.bytes + "appended";
    MemoryByteSource withTail(Bytes(appended));
    EXPECT_EQ(PayloadReader(withTail).layout().endMarker, out.bytes.size() - 256);

    const std::string onlyMarker(300, '\x0E');
    ExpectPayloadError([&] { ReadEverything(onlyMarker); }, 36, "bad package signature");
    ExpectPayloadError([] { ReadEverything(""); }, 0,
                       "no end marker of 256 bytes 0x0E in the last 100001 bytes");
}

// A file that serves fixed pieces over a background of zero bytes, so a package of hundreds of
// megabytes can be read without holding it.
class SparseSource final : public ByteSource {
public:
    SparseSource(std::uint64_t size, std::vector<std::pair<std::uint64_t, std::string>> pieces)
        : size_(size), pieces_(std::move(pieces)) {}

    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) override {
        ASSERT_LE(offset + count, size_) << "read outside the file";
        bytesRead += count;
        std::memset(buffer, 0, count);
        for (const auto& [at, bytes] : pieces_) {
            const std::uint64_t from = std::max(at, offset);
            const std::uint64_t to = std::min(at + bytes.size(), offset + count);
            if (from < to) {
                std::memcpy(buffer + (from - offset), bytes.data() + (from - at), to - from);
            }
        }
    }

    std::uint64_t bytesRead = 0;

private:
    std::uint64_t size_;
    std::vector<std::pair<std::uint64_t, std::string>> pieces_;
};

TEST(PayloadReader, PackageTrailerWhoseBytesAre0x0EBeforeTheMarker) {
    // P = 0x0E0E0E0E: the file ends in 260 bytes 0x0E, and the marker is the last 256 of them.
    const std::uint32_t p = 0x0E0E0E0E;
    const std::string head = "STUB" + Scrambled("doc!") + LE32(8);
    const std::uint32_t dirLength = 15;  // "big|" + 9 digits + CR LF
    const std::uint32_t record = p - 8 - dirLength;
    const std::string directory = "big|" + std::to_string(record) + "\r\n";
    ASSERT_EQ(directory.size(), dirLength);
    const std::uint64_t start = head.size();
    const std::uint64_t dirAt = start + record;
    const std::string tail = directory + LE32(dirLength) + kSignature + LE32(p) + kMarker;
    const std::uint64_t size = dirAt + tail.size();
    SparseSource source(size, {{0, head}, {start, LE32(1000)}, {dirAt, tail}});

    const PayloadReader reader(source);
    EXPECT_EQ(reader.layout().endMarker, size - 256);
    EXPECT_EQ(reader.layout().package.offset, start);
    EXPECT_EQ(reader.layout().package.size, p);
    ASSERT_EQ(reader.layout().entries.size(), 1u);
    EXPECT_EQ(reader.layout().entries[0].recordLength, record);
    EXPECT_EQ(reader.layout().entries[0].size, 1000u);
    EXPECT_EQ(Collect([&](const ChunkSink& s) {
                  reader.CopyDocument(PayloadReader::DocumentForm::Unscrambled, s);
              }),
              "doc!");
    EXPECT_LT(source.bytesRead, 200000u) << "the package itself is never read to find its parts";
    // Zero bytes pass the header check and fail on the method, after the two header bytes.
    ExpectPayloadError([&] { reader.EntryBytes(0); }, start + 6,
                       "entry \"big\" is not a valid zlib stream: unknown compression method");
}

// --- Damaged files -------------------------------------------------------------------------------

TEST(PayloadReader, EveryTruncationIsAPayloadError) {
    const Output out = SmallOutput();
    const std::size_t size = out.bytes.size();
    for (std::size_t n = 0; n < size; ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        const std::string cut = out.bytes.substr(0, n);
        EXPECT_THROW(ReadEverything(cut), PayloadError);
        // A cut whose marker was written again must fail on the lengths, inside the file.
        if (n < size - 256) {
            try {
                ReadEverything(cut + kMarker);
                ADD_FAILURE() << "read a cut file as valid";
            } catch (const PayloadError& e) {
                EXPECT_LE(e.position(), n);
            }
        }
    }
    EXPECT_NO_THROW(ReadEverything(out.bytes));
}

TEST(PayloadReader, EverySingleByteFlipOutsideDocumentAndNamesIsAPayloadError) {
    const Output out = SmallOutput();
    const std::uint64_t trailerAt = out.packageStart - 4;
    // Name bytes of the directory: changing them gives other names, not a damaged file.
    std::vector<bool> nameByte(out.bytes.size(), false);
    bool inName = true;
    for (std::uint64_t i = out.directoryOffset; i < out.bytes.size() - 268; ++i) {
        nameByte[i] = inName && out.bytes[i] != '|';
        inName = out.bytes[i] == '\n' || (inName && out.bytes[i] != '|');
    }
    const std::string good = ReadEverything(out.bytes);
    std::size_t silent = 0;
    for (const unsigned char mask : {0x01, 0x80, 0xFF}) {
        for (std::uint64_t i = trailerAt; i < out.bytes.size(); ++i) {
            if (nameByte[i]) {
                continue;
            }
            SCOPED_TRACE("byte " + std::to_string(i) + " xor " + std::to_string(mask));
            std::string damaged = out.bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ mask);
            if (i < out.packageStart) {
                // The document trailer: a smaller change only moves the stub/document border.
                try {
                    ReadEverything(damaged);
                } catch (const PayloadError& e) {
                    EXPECT_EQ(e.position(), trailerAt);
                }
                continue;
            }
            // Padding bits after a deflate stream's last code are not checked by any reader.
            try {
                EXPECT_EQ(ReadEverything(damaged), good) << "wrong bytes delivered silently";
                ++silent;
            } catch (const PayloadError&) {
            }
        }
    }
    EXPECT_LE(silent, 4u) << "only the padding bits of the two deflate streams go unnoticed";
}

TEST(PayloadReader, DamagedFieldsGiveThePositionAndReason) {
    const Output out = SmallOutput();
    const std::uint64_t f = out.bytes.size();
    const auto flipped = [&](std::uint64_t at, char value) {
        std::string damaged = out.bytes;
        damaged[at] = value;
        return damaged;
    };
    const std::uint64_t dirLength = f - 268 - out.directoryOffset;
    const std::uint64_t p = f - 260 - out.packageStart;
    const std::uint64_t t = out.packageStart - 64;
    ExpectPayloadError([&] { ReadEverything(flipped(f - 262, 'Z')); }, f - 264,
                       "bad package signature");
    ExpectPayloadError([&] { ReadEverything(flipped(f - 265, '\x70')); }, f - 268,
                       "directory length " + std::to_string(0x70000000 + dirLength) +
                           " past the start of the file");
    ExpectPayloadError(
        [&] { ReadEverything(flipped(f - 257, '\x70')); }, f - 260,
        "package length " + std::to_string(0x70000000 + p) + " past the start of the file");
    ExpectPayloadError(
        [&] { ReadEverything(flipped(f - 260, '\x29')); }, f - 260,
        "package length 41 does not match the package directory (" + std::to_string(p) + " bytes)");
    ExpectPayloadError(
        [&] { ReadEverything(flipped(out.packageStart - 1, '\x70')); }, out.packageStart - 4,
        "document trailer " + std::to_string(0x70000000 + t) + " past the start of the file");
    ExpectPayloadError([&] { ReadEverything(flipped(out.packageStart - 4, '\x03')); },
                       out.packageStart - 4, "document trailer 3 below 4");
    ExpectPayloadError([&] { ReadEverything(flipped(out.packageStart - 3, '\x01')); },
                       out.packageStart - 4, "document trailer 289 past the start of the file");
    const std::string recordSize = std::to_string(out.recordOffsets[1] - out.recordOffsets[0]);
    ExpectPayloadError([&] { ReadEverything(flipped(out.recordOffsets[0], '\x11')); },
                       out.recordOffsets[0],
                       "entry \"option\\winoptions.dll\" inflates to 16 bytes, not its size 17");
    ExpectPayloadError([&] { ReadEverything(flipped(f - 100, '\x0F')); }, 0,
                       "no end marker of 256 bytes 0x0E in the last 100001 bytes");
}

TEST(PayloadReader, DamagedDirectoryLines) {
    const std::string stub = "stub";
    const std::vector<std::string> records = {Record("abc")};
    const std::string len = std::to_string(records[0].size());
    const auto read = [&](const std::string& directory) {
        return [=] { ReadEverything(Assemble(stub, "d", records, directory).bytes); };
    };
    const std::uint64_t dirAt = 4 + 1 + 4 + records[0].size();
    ExpectPayloadError(read("a.dll " + len + "\r\n"), dirAt, "directory line without \"|\"");
    ExpectPayloadError(read("a|" + len + "\r\nb.dll\r\n"), dirAt + 4 + len.size(),
                       "directory line without \"|\"");
    ExpectPayloadError(read("a|" + len), dirAt, "directory line without CR LF");
    ExpectPayloadError(read("a|" + len + "\n"), dirAt, "directory line without CR LF");
    ExpectPayloadError(read("a|+" + len + "\r\n"), dirAt,
                       "record length \"+" + len + "\" is not a decimal number");
    ExpectPayloadError(read("a|\r\n"), dirAt, "directory line without a record length");
    ExpectPayloadError(read("a|3\r\n"), dirAt, "record length 3 below 4");
    ExpectPayloadError(read("a|4294967296\r\n"), dirAt, "record length 4294967296 too large");
    ExpectPayloadError(read("a|4294967295\r\n"), dirAt,
                       "record length 4294967295 past the start of the file");
    // One more record than there are bytes: the sum of record lengths passes the file's start.
    ExpectPayloadError(
        read("x|" + std::to_string(dirAt - records[0].size() + 1) + "\r\na|" + len + "\r\n"), dirAt,
        "record length " + std::to_string(dirAt - records[0].size() + 1) +
            " past the start of the file");
}

TEST(PayloadReader, EntriesThatDoNotInflateToTheirSize) {
    const std::string z = Compress("eleven byte");
    const auto entryError = [&](const std::string& record, std::uint64_t position,
                                const std::string& reason) {
        const std::string directory = "e|" + std::to_string(record.size()) + "\r\n";
        const Output out = Assemble("stub", "", {record}, directory);
        MemoryByteSource source(Bytes(out.bytes));
        const PayloadReader reader(source);
        ExpectPayloadError([&] { reader.EntryBytes(0); }, out.recordOffsets[0] + position, reason);
    };
    entryError(LE32(10) + z, 0, "entry \"e\" inflates to more than its size 10");
    entryError(LE32(12) + z, 0, "entry \"e\" inflates to 11 bytes, not its size 12");
    entryError(LE32(11) + z + "xyz", 4 + z.size(), "entry \"e\" has 3 bytes after its zlib stream");
    entryError(LE32(11) + z.substr(0, z.size() - 1), 4 + z.size() - 1,
               "entry \"e\" ends before its zlib stream does");
    entryError(LE32(0), 4, "entry \"e\" ends before its zlib stream does");
    std::string badCheck = z;
    badCheck.back() = static_cast<char>(badCheck.back() ^ 1);
    entryError(LE32(11) + badCheck, 4 + z.size(),
               "entry \"e\" is not a valid zlib stream: incorrect data check");
}

}  // namespace
}  // namespace quorlix
