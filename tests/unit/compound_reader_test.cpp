#include "common/compound_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "common/byte_order.h"
#include "common/compound_file_writer.h"
#include "common/embedded_document.h"
#include "platform/document_container.h"
#include "support/staged_copy_bytes.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

struct VectorSink : ByteSink {
    Bytes bytes;
    void Write(const std::uint8_t* data, std::size_t count) override {
        bytes.insert(bytes.end(), data, data + count);
    }
};

StreamContent Content(const std::string& bytes) {
    StreamContent content;
    content.AppendBytes(ToBytes(bytes));
    return content;
}

Bytes GoldenBytes() {
    const std::string path = QUORLIX_SHARED_DIR "/golden/package-object-windows.bin";
    return std::filesystem::exists(path) ? ToBytes(test::ReadFile(path)) : Bytes();
}

Bytes StagedCopy(const std::string& name, const std::string& data) {
    test::TestFolder dir;
    test::WriteFile(dir / name, data);
    DocumentContainer container;
    container.CreateObjectFromFile(dir / name);
    test::WriteFile(dir / "staged", test::StagedCopyBytes(*container.Save()));
    return ToBytes(test::ReadFile(dir / "staged"));
}

void SetLe32(Bytes& bytes, std::size_t offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// Reading damaged bytes must end in the document or in CompoundFileError, nothing else.
void ExpectReadOrCleanError(const Bytes& bytes) {
    try {
        const EmbeddedDocument document = ExtractDocumentFromStorage(bytes);
        EXPECT_LE(document.data.size(), bytes.size());
    } catch (const CompoundFileError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
}

std::string ErrorOf(const Bytes& bytes) {
    try {
        const CompoundFileReader reader(bytes);
        for (auto id : reader.Children(CompoundFileReader::kRoot)) {
            reader.ReadStream(id);
        }
    } catch (const CompoundFileError& e) {
        return e.what();
    }
    return "no error";
}

TEST(CompoundFileReader, ReadsTheWindowsPackageObject) {
    const Bytes golden = GoldenBytes();
    if (golden.empty()) {
        GTEST_SKIP() << "no golden files here";
    }
    const CompoundFileReader reader(golden);
    const auto children = reader.Children(CompoundFileReader::kRoot);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(reader.entry(children[0]).name,
              u"\x01"
              u"CompObj");
    EXPECT_EQ(reader.entry(children[1]).name,
              u"\x01"
              u"Ole10Native");
    EXPECT_EQ(reader.Find(CompoundFileReader::kRoot,
                          u"\x01"
                          u"compobj"),
              children[0]);
    EXPECT_FALSE(reader.Find(CompoundFileReader::kRoot,
                             u"\x03"
                             u"ObjInfo"));
    EXPECT_EQ(reader.ReadStream(children[0]).size(), 76u);
    EXPECT_EQ(reader.entry(0).classId, cfb::kPackageClassId);
    EXPECT_EQ(reader.entry(0).modifiedTime, 0x01D3905E557198F0u);

    const EmbeddedDocument document = ExtractDocumentFromStorage(golden);
    EXPECT_EQ(document.kind, EmbeddedDocument::Kind::PackageFile);
    EXPECT_EQ(document.ansiName, "simple-text-file.txt");
    EXPECT_EQ(document.unicodeName, u"simple-text-file.txt");
    EXPECT_EQ(document.data, ToBytes("This is a simple ascii contents of this simple text file."));
}

TEST(CompoundFileReader, GivesBackTheDocumentOfAStagedCopy) {
    for (std::size_t size : {std::size_t{0}, std::size_t{3981}, std::size_t{3982},
                             std::size_t{100'000}, std::size_t{7'600'000}}) {
        const std::string data = test::RandomBytes(size, 11);
        const EmbeddedDocument document = ExtractDocument(StagedCopy("Plan.doc", data));
        EXPECT_EQ(document.kind, EmbeddedDocument::Kind::PackageFile);
        EXPECT_EQ(document.ansiName, "Plan.doc");
        EXPECT_EQ(document.unicodeName, u"Plan.doc");
        EXPECT_TRUE(document.data == ToBytes(data)) << size;
    }
}

TEST(CompoundFileReader, GivesBackWordsOwnObjects) {
    CompoundFileWriter docx;
    docx.AddStream(CompoundFileWriter::kRoot,
                   u"\x01"
                   u"CompObj",
                   Content("x"));
    docx.AddStream(CompoundFileWriter::kRoot, u"Package", Content("PK\x03\x04 zip bytes"));
    VectorSink docxBytes;
    docx.Write(docxBytes);
    const EmbeddedDocument fromDocx = ExtractDocumentFromStorage(docxBytes.bytes);
    EXPECT_EQ(fromDocx.kind, EmbeddedDocument::Kind::WordPackage);
    EXPECT_EQ(fromDocx.data, ToBytes("PK\x03\x04 zip bytes"));

    CompoundFileWriter doc;
    doc.AddStream(CompoundFileWriter::kRoot, u"WordDocument", Content(std::string(5000, 'w')));
    doc.AddStream(CompoundFileWriter::kRoot, u"1Table", Content("table"));
    VectorSink docBytes;
    doc.Write(docBytes);
    const EmbeddedDocument fromDoc = ExtractDocumentFromStorage(docBytes.bytes);
    EXPECT_EQ(fromDoc.kind, EmbeddedDocument::Kind::WordStorage);
    EXPECT_EQ(fromDoc.data, docBytes.bytes);

    CompoundFileWriter other;
    other.AddStream(CompoundFileWriter::kRoot, u"Something", Content("else"));
    VectorSink otherBytes;
    other.Write(otherBytes);
    EXPECT_THROW(ExtractDocumentFromStorage(otherBytes.bytes), CompoundFileError);
}

TEST(CompoundFileReader, RefusesBrokenChainsSizesAndTrees) {
    // FAT, directory, mini FAT, mini stream (1 sector), the 5,000-byte stream in sectors 4-13.
    CompoundFileWriter writer;
    writer.AddStream(CompoundFileWriter::kRoot, u"big", Content(std::string(5000, 'b')));
    writer.AddStream(CompoundFileWriter::kRoot, u"small", Content("small"));
    VectorSink sink;
    writer.Write(sink);
    const Bytes good = sink.bytes;
    ASSERT_EQ(ErrorOf(good), "no error");
    const std::size_t fat = 512;
    const std::size_t directory = 512 * 2;

    Bytes loop = good;
    SetLe32(loop, fat + 4 * 6, 5);
    EXPECT_NE(ErrorOf(loop).find("loops"), std::string::npos) << ErrorOf(loop);

    Bytes pastEnd = good;
    SetLe32(pastEnd, fat + 4 * 6, 9999);
    EXPECT_NE(ErrorOf(pastEnd).find("chain ends"), std::string::npos) << ErrorOf(pastEnd);

    Bytes tooLarge = good;
    SetLe32(tooLarge, directory + 128 + 120, 6000);
    EXPECT_NE(ErrorOf(tooLarge).find("chain ends"), std::string::npos) << ErrorOf(tooLarge);

    Bytes huge = good;
    SetLe32(huge, directory + 128 + 120, 0xFFFFFFF0);
    EXPECT_NE(ErrorOf(huge).find("larger than the file"), std::string::npos) << ErrorOf(huge);

    Bytes miniTooLarge = good;
    SetLe32(miniTooLarge, directory + 256 + 120, 4000);
    EXPECT_NE(ErrorOf(miniTooLarge).find("mini"), std::string::npos) << ErrorOf(miniTooLarge);

    Bytes treeLoop = good;
    const std::uint32_t top = good[directory + 76];
    SetLe32(treeLoop, directory + 128 * top + 68, top);
    EXPECT_NE(ErrorOf(treeLoop).find("tree loops"), std::string::npos) << ErrorOf(treeLoop);

    Bytes toRoot = good;
    SetLe32(toRoot, directory + 128 * top + 72, 0);
    EXPECT_NE(ErrorOf(toRoot).find("tree link"), std::string::npos) << ErrorOf(toRoot);

    Bytes directoryLoop = good;
    SetLe32(directoryLoop, fat + 4 * 1, 1);
    EXPECT_NE(ErrorOf(directoryLoop).find("directory chain loops"), std::string::npos);

    Bytes notCfb = good;
    notCfb[0] = 'X';
    EXPECT_NE(ErrorOf(notCfb).find("signature"), std::string::npos);
    EXPECT_NE(ErrorOf(Bytes(good.begin(), good.begin() + 100)).find("header"), std::string::npos);

    EXPECT_THROW(ExtractDocument(ToBytes("BDOX\x01\x00\x00\x00\x00\x00\x00\x00")),
                 CompoundFileError);
    Bytes cut = ToBytes(std::string("BDOC\x01\x00\x00\x00", 8));
    cut.insert(cut.end(), {0x00, 0x10, 0x00, 0x00});
    cut.insert(cut.end(), good.begin(), good.begin() + 1000);
    EXPECT_THROW(ExtractDocument(cut), CompoundFileError) << "N beyond the bytes";
}

// A version 4 file (4,096-byte sectors, 64-bit sizes) whose one stream claims 2^64 - 1 bytes.
TEST(CompoundFileReader, RefusesAStreamSizeNearTwoToTheSixtyFourth) {
    Bytes b(4096 * 3, 0);
    const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(signature), std::end(signature), b.begin());
    SetLE16(&b[0x1A], 4);
    SetLE16(&b[0x1C], 0xFFFE);
    SetLE16(&b[0x1E], 12);
    SetLE16(&b[0x20], 6);
    SetLE32(&b[0x2C], 1);
    SetLE32(&b[0x30], 1);
    SetLE32(&b[0x38], 4096);
    SetLE32(&b[0x3C], 0xFFFFFFFE);
    SetLE32(&b[0x44], 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i) {
        SetLE32(&b[0x4C + 4 * i], i == 0 ? 0 : 0xFFFFFFFF);
    }
    std::uint8_t* fat = &b[4096];
    for (int i = 0; i < 1024; ++i) {
        SetLE32(fat + 4 * i, i == 0 ? 0xFFFFFFFD : i == 1 ? 0xFFFFFFFE : 0xFFFFFFFF);
    }
    std::uint8_t* d = &b[8192];
    for (int k = 0; k < 32; ++k) {
        for (int link : {68, 72, 76}) {
            SetLE32(d + 128 * k + link, 0xFFFFFFFF);
        }
    }
    const std::u16string root = u"Root Entry";
    const std::u16string stream = u"Package";
    for (std::size_t i = 0; i < root.size(); ++i) {
        SetLE16(d + 2 * i, root[i]);
    }
    SetLE16(d + 64, 22);
    d[66] = 5;
    d[67] = 1;
    SetLE32(d + 76, 1);
    SetLE32(d + 116, 0xFFFFFFFE);
    std::uint8_t* e = d + 128;
    for (std::size_t i = 0; i < stream.size(); ++i) {
        SetLE16(e + 2 * i, stream[i]);
    }
    SetLE16(e + 64, 16);
    e[66] = 2;
    e[67] = 1;
    SetLE64(e + 120, 0xFFFFFFFFFFFFFFFFull);

    const CompoundFileReader reader(b);
    const auto id = reader.Find(CompoundFileReader::kRoot, u"Package");
    ASSERT_TRUE(id.has_value());
    EXPECT_THROW(reader.ReadStream(*id), CompoundFileError);
    EXPECT_THROW(ExtractDocumentFromStorage(b), CompoundFileError);
}

TEST(CompoundFileReader, SurvivesEveryTruncationAndByteFlip) {
    std::vector<Bytes> samples = {StagedCopy("a.doc", test::RandomBytes(9000, 5))};
    samples[0].erase(samples[0].begin(), samples[0].begin() + 12);
    const Bytes golden = GoldenBytes();
    if (!golden.empty()) {
        samples.push_back(golden);
    }
    for (const Bytes& sample : samples) {
        for (std::size_t cut = 0; cut < sample.size(); cut += 16) {
            ExpectReadOrCleanError(Bytes(sample.begin(), sample.begin() + cut));
        }
        for (std::size_t i = 0; i < sample.size(); i += (i < 3072 ? 1 : 37)) {
            for (std::uint8_t flip : {std::uint8_t{0xFF}, std::uint8_t{0x01}, std::uint8_t{0x80}}) {
                Bytes damaged = sample;
                damaged[i] ^= flip;
                ExpectReadOrCleanError(damaged);
            }
        }
    }
}

// A source over bytes in memory that counts what is read from it.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(const Bytes& bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) override {
        ASSERT_LE(offset + count, bytes_.size());
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer);
        total += count;
        largest = std::max(largest, count);
    }
    std::uint64_t total = 0;
    std::size_t largest = 0;

private:
    const Bytes& bytes_;
};

// The FAT entry of sector n, in the FAT sectors the header lists.
std::size_t FatEntryOffset(const Bytes& file, std::uint32_t n) {
    const std::uint32_t fatSector = GetLE32(file.data() + 0x4C + 4 * (n / 128));
    return (std::size_t{fatSector} + 1) * 512 + 4 * (n % 128);
}

TEST(CompoundFileReader, ReadsRangesOfAFragmentedStreamWithoutReadingTheRest) {
    const std::string data = test::RandomBytes(300'000, 17);
    Bytes file = StagedCopy("Plan.doc", data);
    file.erase(file.begin(), file.begin() + 12);
    std::uint32_t start = 0;
    {
        const CompoundFileReader plain(file);
        const auto native = plain.Find(CompoundFileReader::kRoot, u"\x01Ole10Native");
        ASSERT_TRUE(native.has_value());
        start = plain.entry(*native).startSector;
    }
    // Sectors start+1 and start+2 trade places, so the chain runs start, start+2, start+1, ...
    const auto sectorAt = [&](std::uint32_t n) {
        return file.begin() + static_cast<std::ptrdiff_t>((std::size_t{n} + 1) * 512);
    };
    std::swap_ranges(sectorAt(start + 1), sectorAt(start + 2), sectorAt(start + 2));
    SetLe32(file, FatEntryOffset(file, start), start + 2);
    SetLe32(file, FatEntryOffset(file, start + 2), start + 1);
    SetLe32(file, FatEntryOffset(file, start + 1), start + 3);

    CountingSource source(file);
    const CompoundFileReader reader(source);
    const DocumentPlace place = FindEmbeddedDocument(reader);
    EXPECT_EQ(place.ansiName, "Plan.doc");
    EXPECT_EQ(place.unicodeName, u"Plan.doc");
    EXPECT_EQ(place.size, data.size());
    EXPECT_EQ(place.head, ToBytes(data.substr(0, 8)));
    EXPECT_LT(source.total, 40'000u) << "finding the document reads its fields, not its data";

    Bytes copied;
    CopyDocumentData(reader, source, place, [&](std::span<const std::uint8_t> chunk) {
        EXPECT_LE(chunk.size(), 65536u);
        copied.insert(copied.end(), chunk.begin(), chunk.end());
    });
    EXPECT_TRUE(copied == ToBytes(data)) << "the swapped sectors come back in chain order";
    EXPECT_LE(source.largest, 65536u);

    for (const auto& [offset, count] : std::vector<std::pair<std::uint64_t, std::uint64_t>>{
             {0, 1}, {511, 2}, {700, 1000}, {60'000, 200'000}, {place.size - 1, 1}}) {
        source.total = 0;
        const Bytes range = reader.ReadStreamRange(place.stream, place.offset + offset, count);
        EXPECT_TRUE(range == ToBytes(data.substr(offset, count))) << offset;
        EXPECT_LE(source.total, count + 8 * 512) << "the range and the FAT sectors of its chain";
    }
    EXPECT_THROW(reader.ReadStreamRange(place.stream, place.offset + place.size, 100),
                 CompoundFileError);

    // A loop in the part of the chain after the range is still found.
    SetLe32(file, FatEntryOffset(file, start + 400), start + 300);
    const CompoundFileReader looped(file);
    EXPECT_THROW(looped.ReadStreamRange(place.stream, 0, 10), CompoundFileError);
}

}  // namespace
}  // namespace quorlix
