#include "common/embedded_document.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/compound_file_reader.h"
#include "common/container_stream.h"

namespace quorlix {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw CompoundFileError("Damaged embedded document: " + what);
}

// Reads the fields of \x01Ole10Native in order, each checked against the end of the stream.
class NativeCursor {
public:
    NativeCursor(const std::vector<std::uint8_t>& bytes, std::size_t end)
        : bytes_(bytes), end_(end) {}

    std::size_t position() const { return pos_; }
    std::size_t left() const { return end_ - pos_; }

    std::uint32_t U32() {
        Need(4);
        pos_ += 4;
        return GetLE32(bytes_.data() + pos_ - 4);
    }
    void Skip(std::size_t count) {
        Need(count);
        pos_ += count;
    }
    std::string ZeroTerminated() {
        const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(pos_);
        const auto zero = std::find(begin, bytes_.begin() + static_cast<std::ptrdiff_t>(end_), 0);
        if (zero == bytes_.begin() + static_cast<std::ptrdiff_t>(end_)) {
            Fail("unterminated name in the package");
        }
        pos_ += static_cast<std::size_t>(zero - begin) + 1;
        return std::string(begin, zero);
    }
    std::u16string Units(std::uint32_t count) {
        if (count > left() / 2) {
            Fail("Unicode name beyond the package");
        }
        std::u16string out;
        for (std::uint32_t i = 0; i < count; ++i) {
            out += static_cast<char16_t>(GetLE16(bytes_.data() + pos_ + 2 * i));
        }
        pos_ += 2 * std::size_t{count};
        return out;
    }

private:
    void Need(std::size_t count) const {
        if (count > left()) {
            Fail("package cut short");
        }
    }

    const std::vector<std::uint8_t>& bytes_;
    std::size_t end_;
    std::size_t pos_ = 0;
};

// The optional Unicode tail: temporary path, label, source path; the label when well-formed.
std::u16string TailLabel(NativeCursor cursor) {
    try {
        cursor.Units(cursor.U32());
        return cursor.Units(cursor.U32());
    } catch (const CompoundFileError&) {
        return {};
    }
}

EmbeddedDocument FromOle10Native(std::vector<std::uint8_t> stream) {
    EmbeddedDocument document;
    NativeCursor head(stream, stream.size());
    const std::uint32_t total = head.U32();
    NativeCursor cursor(stream, std::min<std::uint64_t>(stream.size(), std::uint64_t{total} + 4));
    cursor.Skip(4);
    cursor.Skip(2);
    document.ansiName = cursor.ZeroTerminated();
    cursor.ZeroTerminated();
    cursor.Skip(4);
    cursor.Skip(cursor.U32());
    const std::uint32_t dataSize = cursor.U32();
    const std::size_t dataStart = cursor.position();
    cursor.Skip(dataSize);
    document.unicodeName = TailLabel(cursor);
    stream.erase(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(dataStart));
    stream.resize(dataSize);
    document.data = std::move(stream);
    return document;
}

}  // namespace

EmbeddedDocument ExtractDocumentFromStorage(std::span<const std::uint8_t> compoundFile) {
    const CompoundFileReader reader(compoundFile);
    using Root = CompoundFileReader;
    if (auto native = reader.Find(Root::kRoot,
                                  u"\x01"
                                  u"Ole10Native")) {
        return FromOle10Native(reader.ReadStream(*native));
    }
    if (auto package = reader.Find(Root::kRoot, u"Package")) {
        EmbeddedDocument document;
        document.kind = EmbeddedDocument::Kind::WordPackage;
        document.data = reader.ReadStream(*package);
        return document;
    }
    if (reader.Find(Root::kRoot, u"WordDocument")) {
        EmbeddedDocument document;
        document.kind = EmbeddedDocument::Kind::WordStorage;
        document.data.assign(compoundFile.begin(), compoundFile.end());
        return document;
    }
    Fail("no document in the compound file");
}

EmbeddedDocument ExtractDocument(std::span<const std::uint8_t> containerStream) {
    if (containerStream.size() < kContainerHeaderSize ||
        !std::equal(kContainerSignature.begin(), kContainerSignature.end(),
                    containerStream.begin())) {
        Fail("not a container stream");
    }
    const std::uint32_t size = GetLE32(containerStream.data() + 8);
    if (size > containerStream.size() - kContainerHeaderSize) {
        Fail("container stream cut short");
    }
    return ExtractDocumentFromStorage(containerStream.subspan(kContainerHeaderSize, size));
}

}  // namespace quorlix
