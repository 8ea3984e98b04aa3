// The player's portable path from its payload to the document it opens: the options it reads,
// the file name it writes the document under, and the wait for the document to be let go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/byte_source.h"
#include "common/compound_file_reader.h"
#include "common/compound_file_writer.h"
#include "common/document_name.h"
#include "common/embedded_document.h"
#include "common/payload_error.h"
#include "common/payload_reader.h"
#include "common/player_options.h"
#include "common/release_watch.h"
#include "common/run_folder_name.h"
#include "common/utf16.h"
#include "conversion/option_files.h"
#include "conversion/text_file.h"
#include "package/output_assembly.h"
#include "platform/ansi_code_page.h"
#include "platform/document_container.h"
#include "support/cli_output.h"
#include "support/output_steps.h"
#include "support/staged_copy_bytes.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::AppendDocument;
using test::AppendEndMarker;
using test::AppendPackage;
using Kind = EmbeddedDocument::Kind;

Bytes ToBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// The document's label decoded from the ANSI code page, as the stub decodes it.
std::u16string AnsiLabel(const EmbeddedDocument& document) {
    return Utf8ToUtf16(FromAnsi(document.ansiName));
}

EmbeddedDocument Package(std::u16string unicodeName, std::string ansiName, std::string data) {
    EmbeddedDocument document;
    document.unicodeName = std::move(unicodeName);
    document.ansiName = std::move(ansiName);
    document.data = ToBytes(data);
    return document;
}

class NoProgress : public ProgressSink {
public:
    bool CancelRequested() const override { return false; }
    void AddProgress(std::uint32_t) override {}
    void ShowStreamProgress(std::uint64_t) override {}
    void EntryDone(std::uint32_t) override {}
};

struct VectorSink : ByteSink {
    Bytes bytes;
    void Write(const std::uint8_t* data, std::size_t count) override {
        bytes.insert(bytes.end(), data, data + count);
    }
};

std::string Le32(std::uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>(v >> (8 * i));
    }
    return out;
}

TEST(PlayerOptions, ReadsTheLinesTheConverterWrites) {
    OptionSet set;
    set.opifweb = true;
    set.opweb = "https://example.org/after";
    set.opfiletitle = " - Grüße";
    const std::vector<std::string> written = WinoptionsLines(set, "/docs/Plan.docx");
    test::TestFolder dir;
    WriteTextLines(dir / "winoptions.dll", written);
    const PlayerOptions options(ToBytes(test::ReadFile(dir / "winoptions.dll")));

    ASSERT_EQ(options.LineCount(), 16u);
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(FromAnsi(options.Line(i + 1)), written[i]) << "line " << i + 1;
    }
    EXPECT_EQ(options.Line(1),
              "Plan - Gr\xFC\xDF"
              "e")
        << "ANSI bytes as stored";
    EXPECT_EQ(options.Line(5), "1");
    EXPECT_TRUE(options.opifweb());
    EXPECT_EQ(options.opweb(), "https://example.org/after");
    EXPECT_EQ(options.Line(15), "") << "the empty macro message line keeps its number";
    EXPECT_EQ(options.Line(17), "");
    EXPECT_EQ(WebAddressToOpen(options), "https://example.org/after");

    EXPECT_TRUE(options.opright()) << "checked by default";
    EXPECT_TRUE(options.opcopy()) << "checked by default";
    EXPECT_FALSE(options.opsave()) << "unchecked by default";

    set.opifweb = false;
    set.opright = false;
    set.opcopy = false;
    set.opsave = true;
    WriteTextLines(dir / "off.dll", WinoptionsLines(set, "/docs/Plan.docx"));
    const PlayerOptions off(ToBytes(test::ReadFile(dir / "off.dll")));
    EXPECT_EQ(off.Line(5), "2");
    EXPECT_FALSE(off.opifweb());
    EXPECT_EQ(WebAddressToOpen(off), std::nullopt);
    EXPECT_EQ(off.Line(12), "2");
    EXPECT_FALSE(off.opright());
    EXPECT_FALSE(off.opcopy());
    EXPECT_EQ(off.Line(16), "1");
    EXPECT_TRUE(off.opsave());
}

TEST(PlayerOptions, MissingShortAndOddFilesLeaveTheWebOff) {
    EXPECT_FALSE(PlayerOptions().opifweb());
    EXPECT_EQ(PlayerOptions().Line(0), "");
    EXPECT_EQ(PlayerOptions().Line(6), "");
    EXPECT_EQ(PlayerOptions(Bytes()).LineCount(), 0u);

    const PlayerOptions shortFile(ToBytes("Title\r\n640\r\n480\r\n1\r\n"));
    EXPECT_EQ(shortFile.LineCount(), 4u);
    EXPECT_FALSE(shortFile.opifweb());
    EXPECT_FALSE(shortFile.opright() || shortFile.opcopy() || shortFile.opsave())
        << "a short file locks nothing";
    EXPECT_EQ(WebAddressToOpen(shortFile), std::nullopt);

    // Lone LF, a last line without an end, empty lines keeping their numbers.
    const PlayerOptions odd(ToBytes("a\n\r\n\r\n\n1\nwww.example.org"));
    EXPECT_EQ(odd.LineCount(), 6u);
    EXPECT_EQ(odd.Line(1), "a");
    EXPECT_EQ(odd.Line(2), "");
    EXPECT_EQ(odd.Line(5), "1");
    EXPECT_EQ(WebAddressToOpen(odd), "http://www.example.org");

    EXPECT_EQ(PlayerOptions(ToBytes("\r\n\r\n\r\n\r\n1 \r\nhttp://a.b\r\n")).opifweb(), false)
        << "only \"1\" is true";
    EXPECT_EQ(PlayerOptions(ToBytes("x\r\n")).Line(1), "x");
    EXPECT_EQ(PlayerOptions(ToBytes("x\r")).Line(1), "x\r") << "a lone CR ends no line";
}

TEST(PlayerOptions, OpensOnlyWebAddresses) {
    const auto address = [](const std::string& line6) {
        return WebAddressToOpen(
            PlayerOptions(ToBytes("t\r\n1\r\n2\r\n1\r\n1\r\n" + line6 + "\r\n")));
    };
    EXPECT_EQ(address("  HTTPS://Example.org/x?y=1  "), "HTTPS://Example.org/x?y=1");
    EXPECT_EQ(address("http://example.org"), "http://example.org");
    EXPECT_EQ(address("www.example.org"), "http://www.example.org");
    EXPECT_EQ(address(""), std::nullopt);
    EXPECT_EQ(address("http://"), std::nullopt);
    EXPECT_EQ(address("C:\\Windows\\System32\\calc.exe"), std::nullopt);
    EXPECT_EQ(address("file:///C:/evil.exe"), std::nullopt);
    EXPECT_EQ(address("example.org"), std::nullopt);
    EXPECT_EQ(address(std::string("http://a\x01.b")), std::nullopt);
}

TEST(DocumentFileName, PrefersTheUnicodeLabelAndFallsBackToTheAnsiOne) {
    const EmbeddedDocument both = Package(u"Отчёт 2026.docx", "????? 2026.docx", "PK\x03\x04");
    EXPECT_EQ(DocumentFileName(both, AnsiLabel(both)), u"Отчёт 2026.docx");

    const EmbeddedDocument ansiOnly = Package(u"", "\xC4rger.doc", "x");
    EXPECT_EQ(DocumentFileName(ansiOnly, AnsiLabel(ansiOnly)), u"Ärger.doc");

    // A tail label with nothing usable left falls back to the ANSI label.
    const EmbeddedDocument badTail = Package(u"\\..\\", "Plan.doc", "x");
    EXPECT_EQ(DocumentFileName(badTail, AnsiLabel(badTail)), u"Plan.doc");

    // No usable name at all: "document" and an extension from the content.
    EXPECT_EQ(DocumentFileName(Package(u"", "", "PK\x03\x04..."), u""), u"document.docx");
    EXPECT_EQ(DocumentFileName(Package(u"", "...", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"), u"..."),
              u"document.doc");
    EXPECT_EQ(DocumentFileName(Package(u"", "", "plain"), u""), u"document.doc");
    // A name without an extension gets one from the content, when it is known.
    EXPECT_EQ(DocumentFileName(Package(u"Report", "", "PK\x03\x04"), u""), u"Report.docx");
    EXPECT_EQ(DocumentFileName(Package(u"Report", "", "plain"), u""), u"Report");
}

TEST(DocumentFileName, WordsOwnObjectsGetTheirExtension) {
    EmbeddedDocument docx;
    docx.kind = Kind::WordPackage;
    EXPECT_EQ(DocumentFileName(docx, u""), u"document.docx");
    EmbeddedDocument doc;
    doc.kind = Kind::WordStorage;
    EXPECT_EQ(DocumentFileName(doc, u""), u"document.doc");
    doc.unicodeName = u"Plan.rtf";
    EXPECT_EQ(DocumentFileName(doc, u""), u"Plan.doc");
}

TEST(DocumentFileName, MakesUnsafeNamesPlain) {
    EXPECT_EQ(SafeFileName(u"..\\..\\Windows\\evil.docx"), u"evil.docx");
    EXPECT_EQ(SafeFileName(u"C:\\Users\\me\\Plan.doc"), u"Plan.doc");
    EXPECT_EQ(SafeFileName(u"/tmp/x/Plan.doc"), u"Plan.doc");
    EXPECT_EQ(SafeFileName(u"C:Plan.doc"), u"C_Plan.doc");
    EXPECT_EQ(SafeFileName(u"Plan.doc:stream"), u"Plan.doc_stream");
    EXPECT_EQ(SafeFileName(u"a*b?c\"d<e>f|g\x01h\x7F.doc"), u"a_b_c_d_e_f_g_h_.doc");
    EXPECT_EQ(SafeFileName(u"  Plan.doc . . "), u"Plan.doc");
    EXPECT_EQ(SafeFileName(u"CON.docx"), u"_CON.docx");
    EXPECT_EQ(SafeFileName(u"lpt9"), u"_lpt9");
    EXPECT_EQ(SafeFileName(u"COM0.doc"), u"COM0.doc");
    EXPECT_EQ(SafeFileName(u"CONSOLE.doc"), u"CONSOLE.doc");
    EXPECT_EQ(SafeFileName(u""), u"");
    EXPECT_EQ(SafeFileName(u".."), u"");
    EXPECT_EQ(SafeFileName(u"dir\\"), u"");

    // A pair of surrogates stays, a lone one is replaced.
    EXPECT_EQ(SafeFileName(u"\U0001F600.doc"), u"\U0001F600.doc");
    EXPECT_EQ(SafeFileName(std::u16string(u"a") + char16_t(0xD800) + u".doc"), u"a_.doc");
    EXPECT_EQ(SafeFileName(std::u16string(u"a") + char16_t(0xDC00) + u"b.doc"), u"a_b.doc");

    // Long names are cut before the extension, never inside a surrogate pair.
    const std::u16string cut = SafeFileName(std::u16string(300, u'x') + u".docx");
    EXPECT_EQ(cut.size(), kMaxDocumentNameLength);
    EXPECT_TRUE(cut.ends_with(u"x.docx"));
    std::u16string emoji;
    for (int i = 0; i < 100; ++i) {
        emoji += u"\U0001F600";
    }
    const std::u16string cutPairs = SafeFileName(u"a" + emoji + u".doc");
    EXPECT_LE(cutPairs.size(), kMaxDocumentNameLength);
    EXPECT_EQ(cutPairs, SafeFileName(cutPairs)) << "no lone surrogate left";
    EXPECT_TRUE(cutPairs.ends_with(u"\U0001F600.doc"));
    const std::u16string longExtension =
        SafeFileName(std::u16string(150, u'y') + u"." + std::u16string(30, u'e'));
    EXPECT_EQ(longExtension.size(), kMaxDocumentNameLength);
}

TEST(ReleaseWatch, EndsWhenTheDocumentIsLetGoOrNeverTaken) {
    ReleaseWatch noGrace(0);
    EXPECT_TRUE(noGrace.Done(false)) << "a program that exited and let go";

    ReleaseWatch held(0);
    EXPECT_FALSE(held.Done(true));
    EXPECT_FALSE(held.Done(true));
    EXPECT_TRUE(held.Done(false));

    ReleaseWatch late(3);
    EXPECT_FALSE(late.Done(false));
    EXPECT_FALSE(late.Done(false));
    EXPECT_FALSE(late.Done(true)) << "taken within the grace period";
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(late.Done(true));
    }
    EXPECT_TRUE(late.Done(false));

    ReleaseWatch never(3);
    int looks = 1;
    while (!never.Done(false)) {
        ++looks;
    }
    EXPECT_EQ(looks, 4) << "three looks of grace after the first";
}

TEST(PlayerDocument, TheStagedCopyGivesBackTheDocumentAndItsName) {
    test::TestFolder dir;
    const std::string name = "Jahresbericht Ärger 2026.docx";
    const std::string data = "PK\x03\x04" + test::RandomBytes(70000, 7);
    test::WriteFile(dir / name, data);
    DocumentContainer container;
    container.CreateObjectFromFile(dir / name);
    test::WriteFile(dir / "~~~.txt", test::StagedCopyBytes(*container.Save()));

    const EmbeddedDocument document = ExtractDocument(ToBytes(test::ReadFile(dir / "~~~.txt")));
    EXPECT_EQ(document.kind, Kind::PackageFile);
    EXPECT_EQ(std::string(document.data.begin(), document.data.end()), data);
    EXPECT_EQ(DocumentFileName(document, AnsiLabel(document)), Utf8ToUtf16(name));
}

TEST(PlayerDocument, AnOutputExecutableGivesBackDocumentNameAndOptions) {
    test::TestFolder dir;
    const std::string data = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + test::RandomBytes(5000, 3);
    test::WriteFile(dir / "Plan.doc", data);
    DocumentContainer container;
    container.CreateObjectFromFile(dir / "Plan.doc");
    test::WriteFile(dir / "~~~.txt", test::StagedCopyBytes(*container.Save()));
    OptionSet set;
    set.opifweb = true;
    set.opweb = "http://example.org/thanks";
    WriteTextLines(dir / "winoptions.dll", WinoptionsLines(set, dir / "Plan.doc"));
    WriteTextLines(dir / "other.dll", {"0"});

    const std::string output = dir / "Plan.exe";
    test::WriteFile(output, "MZ not really a stub");
    NoProgress progress;
    ASSERT_TRUE(AppendDocument(dir / "~~~.txt", output, progress));
    const std::vector<std::string> sources = {dir / "other.dll", dir / "winoptions.dll"};
    const std::vector<std::string> names = {"option\\other.dll", "OPTION\\WinOptions.dll"};
    ASSERT_TRUE(AppendPackage(output, sources, names, progress));
    ASSERT_TRUE(AppendEndMarker(output));

    const std::string exe = test::ReadFile(output);
    MemoryByteSource source(
        std::span(reinterpret_cast<const std::uint8_t*>(exe.data()), exe.size()));
    const PayloadReader reader(source);
    EXPECT_EQ(FindPackageEntry(reader.layout(), kWinOptionsEntry), 1u);
    EXPECT_EQ(FindPackageEntry(reader.layout(), "option\\missing.dll"), std::nullopt);
    EXPECT_EQ(WebAddressToOpen(ReadPlayerOptions(reader)), "http://example.org/thanks");

    Bytes staged;
    reader.CopyDocument(
        PayloadReader::DocumentForm::Unscrambled,
        [&](std::span<const std::uint8_t> c) { staged.insert(staged.end(), c.begin(), c.end()); });
    EXPECT_EQ(staged, ToBytes(test::ReadFile(dir / "~~~.txt")));
    const EmbeddedDocument document = ExtractDocument(staged);
    EXPECT_EQ(std::string(document.data.begin(), document.data.end()), data);
    EXPECT_EQ(DocumentFileName(document, AnsiLabel(document)), u"Plan.doc");
}

TEST(PlayerDocument, APackageWithoutWinOptionsReadsAsAllOff) {
    test::TestFolder dir;
    test::WriteFile(dir / "doc.txt", "BDOC");
    WriteTextLines(dir / "a.dll", {"0"});
    const std::string output = dir / "x.exe";
    test::WriteFile(output, "MZ");
    NoProgress progress;
    const std::vector<std::string> sources = {dir / "a.dll"};
    const std::vector<std::string> names = {"option\\a.dll"};
    ASSERT_TRUE(AppendDocument(dir / "doc.txt", output, progress));
    ASSERT_TRUE(AppendPackage(output, sources, names, progress));
    ASSERT_TRUE(AppendEndMarker(output));
    const std::string exe = test::ReadFile(output);
    MemoryByteSource source(
        std::span(reinterpret_cast<const std::uint8_t*>(exe.data()), exe.size()));
    const PayloadReader reader(source);
    EXPECT_EQ(ReadPlayerOptions(reader).LineCount(), 0u);
    EXPECT_FALSE(ReadPlayerOptions(reader).opifweb());
}

TEST(PlayerDocument, ADamagedWinOptionsEntryReadsAsAllOff) {
    test::TestFolder dir;
    test::WriteFile(dir / "doc.txt", "BDOC");
    WriteTextLines(dir / "winoptions.dll", {"Title", "1", "1", "1", "http://example.org"});
    const std::string output = dir / "x.exe";
    test::WriteFile(output, "MZ");
    NoProgress progress;
    ASSERT_TRUE(AppendDocument(dir / "doc.txt", output, progress));
    const std::vector<std::string> sources = {dir / "winoptions.dll"};
    const std::vector<std::string> names = {"option\\winoptions.dll"};
    ASSERT_TRUE(AppendPackage(output, sources, names, progress));
    ASSERT_TRUE(AppendEndMarker(output));
    std::string exe = test::ReadFile(output);
    const test::ReadOutput parts = test::ReadBack(exe);
    // One byte of the entry's compressed stream flipped: its check value no longer matches.
    const std::size_t flipped = parts.package.start + 4 + 8;
    exe[flipped] = static_cast<char>(exe[flipped] ^ 0x10);
    MemoryByteSource source(
        std::span(reinterpret_cast<const std::uint8_t*>(exe.data()), exe.size()));
    const PayloadReader reader(source);
    EXPECT_THROW(reader.EntryBytes(0), PayloadError);
    EXPECT_EQ(ReadPlayerOptions(reader).LineCount(), 0u);
    EXPECT_FALSE(ReadPlayerOptions(reader).opifweb());
}

TEST(PlayerDocument, RunFoldersAreKnownByTheirNameAndTheirMarks) {
    EXPECT_TRUE(IsRunFolderName(L"quorlix-1a2c-5f00e1-0"));
    EXPECT_TRUE(IsRunFolderName(L"quorlix-ffffffff-ffffffffffffffff-63"));
    for (const wchar_t* name :
         {L"quorlix-", L"quorlix-1a2c-5f00e1", L"quorlix-1a2c-5f00e1-0-1", L"quorlix-1A2C-5-0",
          L"quorlix-1a2c--0", L"quorlix-1a2c-5f00e1-", L"quorlix-keep", L"Quorlix-1-2-3",
          L"quorlix-1-2-3.owner", L"quorlix-1-2-3 ", L"quorlix-10000000000000000-2-3",
          L"dorvane-1-2-3"}) {
        EXPECT_FALSE(IsRunFolderName(name)) << testing::PrintToString(std::wstring(name));
    }
    EXPECT_EQ(RunFolderOfMark(L"quorlix-1a2c-5f00e1-0.owner"), L"quorlix-1a2c-5f00e1-0");
    EXPECT_EQ(RunFolderOfMark(L"quorlix-1a2c-5f00e1-0"), L"");
    EXPECT_EQ(RunFolderOfMark(L"quorlix-keep.owner"), L"");
    EXPECT_EQ(RunFolderOfMark(L"quorlix-1-2-3.owner.owner"), L"");
}

TEST(PlayerDocument, AnAnsiOnlyPackageIsNamedFromItsAnsiLabel) {
    // \x01Ole10Native as older packagers write it: no Unicode tail.
    const std::string label = "\xC4rger.doc";
    const std::string path = "C:\\" + label;
    const std::string file = "content";
    const std::string body = std::string("\x02\x00", 2) + label + '\0' + path + '\0' +
                             std::string("\x00\x00\x03\x00", 4) + Le32(path.size() + 1) + path +
                             '\0' + Le32(file.size()) + file;
    StreamContent native;
    native.AppendBytes(ToBytes(Le32(body.size()) + body));
    CompoundFileWriter writer;
    writer.AddStream(CompoundFileWriter::kRoot,
                     u"\x01"
                     u"Ole10Native",
                     std::move(native));
    VectorSink storage;
    writer.Write(storage);
    Bytes stream = ToBytes("BDOC" + Le32(1) + Le32(storage.bytes.size()));
    stream.insert(stream.end(), storage.bytes.begin(), storage.bytes.end());

    const EmbeddedDocument document = ExtractDocument(stream);
    EXPECT_TRUE(document.unicodeName.empty());
    EXPECT_EQ(std::string(document.data.begin(), document.data.end()), file);
    EXPECT_EQ(DocumentFileName(document, AnsiLabel(document)), u"Ärger.doc");

    stream.resize(stream.size() / 2);
    EXPECT_THROW(ExtractDocument(stream), CompoundFileError) << "a damaged staged copy";
}

}  // namespace
}  // namespace quorlix
