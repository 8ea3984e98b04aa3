#include "common/document_section.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/document_change.h"
#include "common/section_document.h"
#include "platform/document_container.h"
#include "platform/package_names.h"
#include "support/cfb_image.h"
#include "support/cli_output.h"
#include "support/code_signing.h"
#include "support/staged_copy_bytes.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::CfbImage;
using test::TestFolder;

struct StringSink : ByteSink {
    std::string bytes;
    void Write(const std::uint8_t* data, std::size_t count) override {
        bytes.append(reinterpret_cast<const char*>(data), count);
    }
};

std::span<const std::uint8_t> Span(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

StreamContent ContentOf(const std::string& bytes) {
    StreamContent content;
    content.AppendBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return content;
}

// An output made by quorlix-cli from a document of that name and content, in a folder of its
// own, as its bytes.
std::string Converted(const TestFolder& dir, const std::string& folder, const std::string& name,
                      const std::string& document) {
    std::filesystem::create_directories(dir / (folder + "/out"));
    test::WriteFile(dir / (folder + "/" + name), document);
    const test::CliRun run = test::RunCliWith(
        {"convert", "--output-folder", dir / (folder + "/out"), dir / (folder + "/" + name)});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string stem = name.substr(0, name.rfind('.'));
    return test::ReadFile(dir / (folder + "/out/" + stem + ".exe"));
}

// The header checksum's and the certificate table entry's file offsets in an output's stub.
std::size_t ChecksumField(const std::string& output) {
    return test::LE32At(output, 0x3C) + 24 + 64;
}
std::size_t CertificateEntry(const std::string& output) {
    return test::LE32At(output, 0x3C) + 24 + 96 + 8 * 4;
}

// The output as a code signature leaves it, by hand: the stub's certificate table entry names a
// certificate appended after the end marker, and its checksum covers the whole file.
std::string SignedByHand(std::string output) {
    const std::string certificate =
        test::LE32Text(308) + std::string("\x00\x02\x02\x00", 4) + test::RandomBytes(300, 9);
    output.replace(CertificateEntry(output), 8,
                   test::LE32Text(static_cast<std::uint32_t>(output.size())) +
                       test::LE32Text(static_cast<std::uint32_t>(certificate.size())));
    output.replace(ChecksumField(output), 4, test::LE32Text(0x12345678));
    return output + certificate;
}

// The same output with another document, rebuilt the way the player rebuilds it.
std::string Rebuilt(const std::string& output, const std::string& document) {
    MemoryByteSource source(Span(output));
    const PayloadReader reader(source);
    const SectionDocument original(source, reader.layout().document);
    StringSink rebuilt;
    WriteOutputWithDocument(reader, StoredNames(original.place()), ContentOf(document), rebuilt);
    return rebuilt.bytes;
}

// Expects the rebuilt output to be the unsigned one with its checksum cleared.
void ExpectUnsignedCopy(const std::string& rebuilt, const std::string& unsignedOutput) {
    ASSERT_EQ(rebuilt.size(), unsignedOutput.size());
    const std::size_t checksum = ChecksumField(unsignedOutput);
    EXPECT_EQ(rebuilt.substr(checksum, 4), std::string(4, '\0')) << "no checksum";
    EXPECT_EQ(rebuilt.substr(CertificateEntry(unsignedOutput), 8), std::string(8, '\0'))
        << "no certificate table";
    EXPECT_TRUE(rebuilt.substr(0, checksum) == unsignedOutput.substr(0, checksum));
    EXPECT_TRUE(rebuilt.substr(checksum + 4) == unsignedOutput.substr(checksum + 4));
}

// The document data of a container stream, read back with the test's own compound file reader.
std::string NativeStream(const std::string& containerStream) {
    EXPECT_EQ(containerStream.substr(0, 8), std::string("BDOC\x01\x00\x00\x00", 8));
    EXPECT_EQ(test::LE32At(containerStream, 8), containerStream.size() - 12);
    CfbImage image(containerStream.substr(12));
    const int native = image.Descend(image.entries()[0], u"\x01Ole10Native");
    EXPECT_GE(native, 0);
    return native < 0 ? std::string() : image.Stream(image.entries()[native]);
}

TEST(DocumentSection, IsTheConvertersStagedCopyScrambled) {
    TestFolder dir;
    // Larger than a copy chunk, so the scrambling runs over chunk ends at every key position.
    const std::string document = "PK\x03\x04" + test::RandomBytes(200000, 41);
    test::WriteFile(dir / "Guide.docx", document);
    DocumentContainer container;
    container.CreateObjectFromFile(dir / "Guide.docx");
    const std::string staged = test::StagedCopyBytes(*container.Save());

    StringSink section;
    const std::uint64_t length = WriteDocumentSection(
        EncodePackageNames(PackageNamesFor("Guide.docx")), ContentOf(document), section);
    EXPECT_EQ(length, section.bytes.size());
    EXPECT_TRUE(section.bytes == test::Unscrambled(staged)) << "the converter's section bytes";
    const std::string native = NativeStream(test::Unscrambled(section.bytes));
    EXPECT_NE(native.find(document), std::string::npos);
    EXPECT_EQ(native.substr(6, 11), std::string("Guide.docx\0", 11));
}

TEST(DocumentSection, AnOutputWithAnotherDocumentIsTheOutputConvertedFromIt) {
    TestFolder dir;
    const std::string first = "PK\x03\x04" + test::RandomBytes(90000, 42);
    const std::string second = "PK\x03\x04" + test::RandomBytes(130000, 43) + "changed";
    const std::string original = Converted(dir, "a", "Report.docx", first);
    const std::string expected = Converted(dir, "b", "Report.docx", second);

    MemoryByteSource source(Span(original));
    const PayloadReader reader(source);
    const SectionDocument document(source, reader.layout().document);
    const PackageObjectNames names = StoredNames(document.place());
    const PackageObjectNames converted = EncodePackageNames(PackageNamesFor("Report.docx"));
    EXPECT_EQ(names.ansiLabel, converted.ansiLabel);
    EXPECT_EQ(names.ansiSourcePath, "C:\\Report.docx");
    EXPECT_EQ(names.ansiTemporaryPath, "C:\\Report.docx");
    EXPECT_EQ(names.label, u"Report.docx");
    EXPECT_EQ(names.sourcePath, u"C:\\Report.docx");
    EXPECT_EQ(names.temporaryPath, u"C:\\Report.docx");

    StringSink rebuilt;
    WriteOutputWithDocument(reader, names, ContentOf(second), rebuilt);
    EXPECT_TRUE(rebuilt.bytes == expected) << "byte for byte the output of the changed document";

    // A signed output gives the unsigned one: no certificate after the end marker, no
    // certificate table entry, no checksum.
    ExpectUnsignedCopy(Rebuilt(SignedByHand(original), second), expected);

    // Read back without the product's readers: stub, package and the changed document.
    const test::ReadOutput read = test::ReadBack(rebuilt.bytes);
    const std::size_t stubSize = reader.layout().stub.size;
    EXPECT_TRUE(rebuilt.bytes.substr(0, stubSize) == original.substr(0, stubSize));
    EXPECT_TRUE(rebuilt.bytes.substr(read.package.start, reader.layout().package.size) ==
                original.substr(reader.layout().package.offset, reader.layout().package.size));
    EXPECT_NE(NativeStream(read.document).find(second), std::string::npos);
}

TEST(DocumentSection, AnOutputSignedByTheConverterGivesAnUnsignedWholeOutput) {
    if (!test::OnPath("openssl")) {
        GTEST_SKIP() << "openssl is not installed";
    }
    TestFolder dir;
    const std::string document = test::RandomBytes(70000, 45);
    std::filesystem::create_directories(dir / "out");
    test::WriteFile(dir / "Plan.doc", document);
    const test::TestCertificate certificate =
        test::MakeTestCertificate(dir.path(), "author", "Quorlix Author", "secret");
    test::WriteFile(dir / "password.txt", "secret\n");
    const test::CliRun run = test::RunCliWith(
        {"convert", "--output-folder", dir / "out", "--sign-pkcs12", certificate.pkcs12,
         "--sign-password-file", dir / "password.txt", dir / "Plan.doc"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string signedOutput = test::ReadFile(dir / "out/Plan.exe");
    const std::string unsignedOutput = Converted(dir, "plain", "Plan.doc", document);

    const std::string rebuilt = Rebuilt(signedOutput, document);
    ExpectUnsignedCopy(rebuilt, unsignedOutput);
    test::WriteFile(dir / "rebuilt.exe", rebuilt);
    const test::CliRun verify = test::RunCliWith({"verify", dir / "rebuilt.exe"});
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_NE(verify.out.find("signature: none (not signed)"), std::string::npos) << verify.out;
}

TEST(DocumentSection, AChangeIsFoundInLengthOrAnyByte) {
    TestFolder dir;
    const std::string content = test::RandomBytes(150000, 44);
    const std::string output = Converted(dir, "a", "Notes.doc", content);
    MemoryByteSource source(Span(output));
    const PayloadReader reader(source);
    const SectionDocument original(source, reader.layout().document);

    auto differs = [&](const std::string& now) {
        MemoryByteSource current(Span(now));
        return DocumentDiffers(original, current);
    };
    EXPECT_FALSE(differs(content));
    std::string lastByte = content;
    lastByte.back() = static_cast<char>(lastByte.back() ^ 1);
    EXPECT_TRUE(differs(lastByte)) << "past the first chunk";
    std::string firstByte = content;
    firstByte.front() = static_cast<char>(firstByte.front() ^ 0x80);
    EXPECT_TRUE(differs(firstByte));
    EXPECT_TRUE(differs(content.substr(0, content.size() - 1)));
    EXPECT_TRUE(differs(content + "x"));
    EXPECT_TRUE(differs(""));
}

TEST(DocumentSection, NamesOfAnAnsiOnlyPackageAreKeptAsStored) {
    // \x01Ole10Native as older packagers write it: real paths, no Unicode tail.
    const std::string label = "\xC4rger.doc";
    const std::string source = "D:\\Akten\\" + label;
    const std::string temporary = "C:\\TEMP\\" + label;
    PackageObjectNames names{label, source, temporary, {}, {}, {}};
    StringSink section;
    WriteDocumentSection(names, ContentOf("content"), section);
    const std::string stream = test::Unscrambled(section.bytes);
    MemoryByteSource bytes(Span(stream));
    const ContainedDocument document(bytes);
    const PackageObjectNames stored = StoredNames(document.place());
    EXPECT_EQ(stored.ansiLabel, label);
    EXPECT_EQ(stored.ansiSourcePath, source);
    EXPECT_EQ(stored.ansiTemporaryPath, temporary);
    EXPECT_TRUE(stored.label.empty()) << "an empty Unicode tail";
    EXPECT_EQ(document.place().size, 7u);
}

}  // namespace
}  // namespace quorlix
