// quorlix-sample OUTDIR: writes OUTDIR/sample.exe from a generated document and package files,
// then reads the file back from its end and lists what it holds.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "common/payload_layout.h"
#include "package/output_assembly.h"
#include "package/progress_sink.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace quorlix {
namespace {

// A progress sink that never cancels and shows nothing.
class QuietSink : public ProgressSink {
public:
    bool CancelRequested() const override { return false; }
    void AddProgress(std::uint32_t) override {}
    void ShowStreamProgress(std::uint64_t) override {}
    std::uint32_t ProgressTotal() const override { return total_; }
    void SetProgressTotal(std::uint32_t kib) override { total_ = kib; }
    std::int32_t ProgressMaximum() const override { return 0; }
    void SetProgressMaximum(std::int32_t) override {}

private:
    std::uint32_t total_ = 0;
};

void WriteText(const std::string& path, const std::string& text) {
    File file = File::Open(path, File::Mode::CreateTruncate);
    file.WriteAll(text.data(), text.size());
    file.Close();
}

// A staged file with generated content; returns its path.
std::string Stage(const std::string& folder, const std::string& name, const std::string& text) {
    const std::string path = folder + "/" + name;
    WriteText(path, text);
    return path;
}

std::string GeneratedPicture() {
    std::string bytes = "BM";
    for (int i = 0; i < 3000; ++i) {
        bytes += static_cast<char>((i * 7) % 251);
    }
    return bytes;
}

void Check(bool ok, const std::string& what) {
    if (!ok) {
        throw Error(what);
    }
}

// The output's parts, found from its end as the player finds them.
struct Layout {
    std::uint64_t fileSize = 0;
    std::uint64_t stubSize = 0;
    std::uint32_t documentSize = 0;
    std::uint32_t packageSize = 0;
    std::uint64_t packageStart = 0;
    std::uint64_t directoryStart = 0;
    std::string directory;
};

std::uint32_t LE32At(const std::string& bytes, std::uint64_t offset) {
    Check(offset + 4 <= bytes.size(), "the output is too short");
    return GetLE32(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
}

Layout ReadLayout(const std::string& bytes) {
    Layout layout;
    layout.fileSize = bytes.size();
    Check(bytes.size() >= kEndMarkerSize + 20, "the output is too short");
    const std::uint64_t marker = bytes.size() - kEndMarkerSize;
    Check(bytes.find_first_not_of(static_cast<char>(kEndMarkerByte), marker) == std::string::npos,
          "the output has no end marker");
    layout.packageSize = LE32At(bytes, marker - 4);
    const std::uint64_t packageEnd = marker - 4;
    Check(layout.packageSize >= 8 && layout.packageSize <= packageEnd, "bad package length");
    Check(
        bytes.compare(packageEnd - 4, 4, reinterpret_cast<const char*>(kPackageSignature), 4) == 0,
        "the package has no signature");
    const std::uint32_t directoryLength = LE32At(bytes, packageEnd - 8);
    layout.packageStart = packageEnd - layout.packageSize;
    Check(directoryLength <= layout.packageSize - 8, "bad directory length");
    layout.directoryStart = packageEnd - 8 - directoryLength;
    layout.directory = bytes.substr(layout.directoryStart, directoryLength);
    const std::uint32_t trailer = LE32At(bytes, layout.packageStart - 4);
    Check(trailer >= 4 && trailer <= layout.packageStart, "bad document trailer");
    layout.documentSize = trailer - 4;
    layout.stubSize = layout.packageStart - trailer;
    return layout;
}

// The length of the zlib stream at offset once inflated; throws when it is damaged.
std::uint64_t InflatedLength(const std::string& bytes, std::uint64_t offset, std::uint64_t size) {
    z_stream stream{};
    Check(inflateInit(&stream) == Z_OK, "cannot start inflate");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + offset));
    stream.avail_in = static_cast<uInt>(size);
    std::vector<std::uint8_t> block(kCompressorBlockSize);
    int rc = Z_OK;
    while (rc == Z_OK) {
        stream.next_out = block.data();
        stream.avail_out = static_cast<uInt>(block.size());
        rc = inflate(&stream, Z_NO_FLUSH);
    }
    const std::uint64_t length = stream.total_out;
    inflateEnd(&stream);
    Check(rc == Z_STREAM_END, "a package entry is damaged");
    return length;
}

void PrintEntries(const std::string& bytes, const Layout& layout) {
    std::uint64_t at = layout.packageStart;
    std::size_t lineStart = 0;
    while (lineStart < layout.directory.size()) {
        const std::size_t end = layout.directory.find("\r\n", lineStart);
        Check(end != std::string::npos, "a directory line without CR LF");
        const std::string line = layout.directory.substr(lineStart, end - lineStart);
        const std::size_t bar = line.rfind('|');
        Check(bar != std::string::npos, "a directory line without '|'");
        const std::uint64_t record = std::stoull(line.substr(bar + 1));
        Check(record >= 4 && at + record <= layout.directoryStart, "bad record length");
        const std::uint32_t sizeField = LE32At(bytes, at);
        const std::uint64_t inflated = InflatedLength(bytes, at + 4, record - 4);
        Check(inflated == sizeField, "an entry's size field does not match its stream");
        std::printf("  %-28s record %8llu  uncompressed %8u\n", line.substr(0, bar).c_str(),
                    static_cast<unsigned long long>(record), sizeField);
        at += record;
        lineStart = end + 2;
    }
    Check(at == layout.directoryStart, "the entries do not end where the directory begins");
}

void PrintOutput(const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    const Layout layout = ReadLayout(bytes);
    std::printf("%s: %llu bytes\n", path.c_str(), static_cast<unsigned long long>(layout.fileSize));
    std::printf("player stub:      %llu bytes\n", static_cast<unsigned long long>(layout.stubSize));
    std::printf("document section: %u bytes (trailer %u)\n", layout.documentSize,
                layout.documentSize + 4);
    std::printf("package:          %u bytes\n", layout.packageSize);
    PrintEntries(bytes, layout);
    std::printf("end marker:       %zu bytes of 0x%02X\n", kEndMarkerSize, kEndMarkerByte);
}

void WriteSample(const std::string& outFolder) {
    CreateFolders(outFolder);
    const std::string document = outFolder + "/sample.doc";
    std::string text;
    for (int i = 1; i <= 40; ++i) {
        text += "Line " + std::to_string(i) + " of the sample document.\r\n";
    }
    WriteText(document, text);

    const std::string staging = outFolder + "/staging";
    CreateFolders(staging);
    const std::vector<std::string> sources = {
        Stage(staging, "winoptions.dll", "800\r\n600\r\n1\r\n2\r\nSample\r\n"),
        Stage(staging, "1.bmp", GeneratedPicture()),
        Stage(staging, "readme.txt", "Made by quorlix-sample.\r\n"),
    };
    const std::vector<std::string> names = {"option\\winoptions.dll", "option\\1.bmp", ""};

    const std::string output = outFolder + "/sample.exe";
    QuietSink sink;
    Check(ExtractStub("exefile", "head", output), "cannot write the player stub");
    Check(AppendDocument(document, output, sink), "cannot append the document");
    Check(AppendPackage(output, sources, names, sink), "cannot append the package");
    Check(AppendEndMarker(output), "cannot append the end marker");
    DeleteFolder(staging);
    PrintOutput(output);
}

}  // namespace
}  // namespace quorlix

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorlix-sample OUTDIR\n");
        return 2;
    }
    try {
        quorlix::WriteSample(argv[1]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorlix-sample: %s\n", e.what());
        return 1;
    }
}
