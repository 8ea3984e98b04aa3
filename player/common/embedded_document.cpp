#include "common/embedded_document.h"

#include <algorithm>
#include <array>

#include "common/byte_order.h"
#include "common/compound_file_reader.h"
#include "common/container_stream.h"

namespace quorlix {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw CompoundFileError("Damaged embedded document: " + what);
}

// The longest name read from a package object; a label is a file name, far shorter.
constexpr std::uint64_t kMaxNameBytes = 65536;
constexpr std::size_t kWindow = 4096;
constexpr std::size_t kCopyChunk = 65536;

// Reads the fields of \x01Ole10Native in order through the reader, each checked against the end
// of the stream's range, a window of a few kilobytes at a time: never the document's data.
class NativeCursor {
public:
    NativeCursor(const CompoundFileReader& reader, CompoundFileReader::EntryId stream,
                 std::uint64_t end)
        : reader_(reader), stream_(stream), end_(end) {}

    std::uint64_t position() const { return pos_; }
    std::uint64_t left() const { return end_ - pos_; }

    std::uint32_t U32() {
        const std::uint32_t value = GetLE32(Bytes(4));
        pos_ += 4;
        return value;
    }
    void Skip(std::uint64_t count) {
        Need(count);
        pos_ += count;
    }
    std::string ZeroTerminated() {
        std::string out;
        while (left() != 0) {
            const char c = static_cast<char>(*Bytes(1));
            ++pos_;
            if (c == 0) {
                return out;
            }
            if (out.size() == kMaxNameBytes) {
                Fail("name in the package too long");
            }
            out += c;
        }
        Fail("unterminated name in the package");
    }
    std::string Text(std::uint32_t count) {
        const std::uint8_t* bytes = Bytes(count);
        pos_ += count;
        return std::string(reinterpret_cast<const char*>(bytes), count);
    }
    std::u16string Units(std::uint32_t count) {
        if (count > left() / 2 || count > kMaxNameBytes / 2) {
            Fail("Unicode name beyond the package");
        }
        const std::uint8_t* bytes = Bytes(2 * std::size_t{count});
        std::u16string out;
        for (std::uint32_t i = 0; i < count; ++i) {
            out += static_cast<char16_t>(GetLE16(bytes + 2 * i));
        }
        pos_ += 2 * std::uint64_t{count};
        return out;
    }

private:
    void Need(std::uint64_t count) const {
        if (count > left()) {
            Fail("package cut short");
        }
    }
    // The next count bytes, read into the window when they are not in it yet.
    const std::uint8_t* Bytes(std::size_t count) {
        Need(count);
        if (pos_ < windowStart_ || pos_ + count > windowStart_ + window_.size()) {
            const std::uint64_t size =
                std::min<std::uint64_t>(std::max<std::uint64_t>(count, kWindow), left());
            window_ = reader_.ReadStreamRange(stream_, pos_, size);
            windowStart_ = pos_;
        }
        return window_.data() + (pos_ - windowStart_);
    }

    const CompoundFileReader& reader_;
    CompoundFileReader::EntryId stream_;
    std::uint64_t end_;
    std::uint64_t pos_ = 0;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
};

// The optional Unicode tail: temporary path, label, source path; what is well-formed is kept.
void ReadTail(NativeCursor cursor, DocumentPlace& place) {
    try {
        std::u16string temporaryPath = cursor.Units(cursor.U32());
        place.unicodeName = cursor.Units(cursor.U32());
        place.unicodeTemporaryPath = std::move(temporaryPath);
        place.unicodeSourcePath = cursor.Units(cursor.U32());
    } catch (const CompoundFileError&) {
    }
}

// A length-prefixed ANSI path: its bytes without the terminating zero; skipped (empty) when it
// is longer than any path.
std::string CountedPath(NativeCursor& cursor) {
    const std::uint32_t length = cursor.U32();
    if (length > kMaxNameBytes) {
        cursor.Skip(length);
        return {};
    }
    std::string path = cursor.Text(length);
    if (!path.empty() && path.back() == '\0') {
        path.pop_back();
    }
    return path;
}

DocumentPlace FromOle10Native(const CompoundFileReader& reader, CompoundFileReader::EntryId id) {
    DocumentPlace place;
    const std::uint64_t streamSize = reader.entry(id).size;
    NativeCursor head(reader, id, streamSize);
    const std::uint32_t total = head.U32();
    NativeCursor cursor(reader, id, std::min<std::uint64_t>(streamSize, std::uint64_t{total} + 4));
    cursor.Skip(4);
    cursor.Skip(2);
    place.ansiName = cursor.ZeroTerminated();
    place.ansiSourcePath = cursor.ZeroTerminated();
    cursor.Skip(4);
    place.ansiTemporaryPath = CountedPath(cursor);
    place.size = cursor.U32();
    place.offset = cursor.position();
    cursor.Skip(place.size);
    ReadTail(cursor, place);
    place.stream = id;
    return place;
}

}  // namespace

DocumentPlace FindEmbeddedDocument(const CompoundFileReader& reader) {
    using Root = CompoundFileReader;
    DocumentPlace place;
    if (auto native = reader.Find(Root::kRoot,
                                  u"\x01"
                                  u"Ole10Native")) {
        place = FromOle10Native(reader, *native);
    } else if (auto package = reader.Find(Root::kRoot, u"Package")) {
        place.kind = EmbeddedDocument::Kind::WordPackage;
        place.stream = *package;
        place.size = reader.entry(*package).size;
    } else if (reader.Find(Root::kRoot, u"WordDocument")) {
        place.kind = EmbeddedDocument::Kind::WordStorage;
        place.size = reader.fileSize();
        place.head.assign(cfb::kSignature.begin(), cfb::kSignature.end());
        return place;
    } else {
        Fail("no document in the compound file");
    }
    place.head =
        reader.ReadStreamRange(place.stream, place.offset, std::min<std::uint64_t>(place.size, 8));
    return place;
}

void CopyDocumentData(const CompoundFileReader& reader, ByteSource& compoundFile,
                      const DocumentPlace& place, const StreamSink& sink) {
    if (place.stream != cfb::kNoEntry) {
        reader.CopyStream(place.stream, place.offset, place.size, sink);
        return;
    }
    std::vector<std::uint8_t> buffer(kCopyChunk);
    for (std::uint64_t done = 0; done < place.size;) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), place.size - done));
        compoundFile.ReadAt(done, buffer.data(), count);
        sink({buffer.data(), count});
        done += count;
    }
}

EmbeddedDocument DocumentHeadOf(const DocumentPlace& place) {
    EmbeddedDocument document;
    document.kind = place.kind;
    document.ansiName = place.ansiName;
    document.unicodeName = place.unicodeName;
    document.data = place.head;
    return document;
}

EmbeddedDocument ExtractDocumentFromStorage(std::span<const std::uint8_t> compoundFile) {
    MemoryByteSource source(compoundFile);
    const CompoundFileReader reader(source);
    const DocumentPlace place = FindEmbeddedDocument(reader);
    EmbeddedDocument document = DocumentHeadOf(place);
    document.data.clear();
    document.data.reserve(static_cast<std::size_t>(place.size));
    CopyDocumentData(reader, source, place, [&](std::span<const std::uint8_t> chunk) {
        document.data.insert(document.data.end(), chunk.begin(), chunk.end());
    });
    return document;
}

std::uint64_t ContainedStorageSize(ByteSource& containerStream) {
    std::array<std::uint8_t, kContainerHeaderSize> header{};
    if (containerStream.Size() < header.size()) {
        Fail("not a container stream");
    }
    containerStream.ReadAt(0, header.data(), header.size());
    if (!std::equal(kContainerSignature.begin(), kContainerSignature.end(), header.begin())) {
        Fail("not a container stream");
    }
    const std::uint32_t size = GetLE32(header.data() + 8);
    if (size > containerStream.Size() - kContainerHeaderSize) {
        Fail("container stream cut short");
    }
    return size;
}

ContainedDocument::ContainedDocument(ByteSource& containerStream)
    : storage_(containerStream, kContainerHeaderSize, ContainedStorageSize(containerStream)),
      reader_(storage_),
      place_(FindEmbeddedDocument(reader_)) {}

void ContainedDocument::CopyData(const StreamSink& sink) {
    CopyDocumentData(reader_, storage_, place_, sink);
}

EmbeddedDocument ExtractDocument(std::span<const std::uint8_t> containerStream) {
    MemoryByteSource source(containerStream);
    const std::uint64_t size = ContainedStorageSize(source);
    return ExtractDocumentFromStorage(
        containerStream.subspan(kContainerHeaderSize, static_cast<std::size_t>(size)));
}

}  // namespace quorlix
