#include "common/payload_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "common/byte_order.h"
#include "common/package_directory.h"
#include "common/payload_error.h"
#include "common/payload_layout.h"
#include "common/scramble.h"

namespace quorlix {

namespace {

// Chunk of the compressed input and of the inflated output of one entry.
constexpr std::size_t kInflateChunkSize = 65536;
// A directory longer than this is taken for a damaged length rather than read into memory.
constexpr std::uint32_t kMaxDirectoryLength = 16u << 20;

std::string Num(std::uint64_t value) {
    return std::to_string(value);
}

std::uint32_t ReadLE32At(ByteSource& source, std::uint64_t offset) {
    std::uint8_t bytes[4];
    source.ReadAt(offset, bytes, sizeof bytes);
    return GetLE32(bytes);
}

// Reads the signature and the directory length before the package end E = M - 4.
ByteRange LocateDirectory(ByteSource& source, std::uint64_t endMarker) {
    if (endMarker < 12) {
        throw PayloadError(0, "file too short for a package before the end marker");
    }
    const std::uint64_t packageEnd = endMarker - 4;
    std::uint8_t signature[4];
    source.ReadAt(packageEnd - 4, signature, sizeof signature);
    if (std::memcmp(signature, kPackageSignature, sizeof signature) != 0) {
        throw PayloadError(packageEnd - 4, "bad package signature");
    }
    const std::uint64_t lengthAt = packageEnd - 8;
    const std::uint32_t length = ReadLE32At(source, lengthAt);
    if (length > lengthAt) {
        throw PayloadError(lengthAt,
                           "directory length " + Num(length) + " past the start of the file");
    }
    if (length > kMaxDirectoryLength) {
        throw PayloadError(lengthAt, "directory length " + Num(length) + " too large");
    }
    return {lengthAt - length, length};
}

// Places the records end to end before the directory, last line first; returns the package
// start S.
std::uint64_t PlaceEntries(ByteSource& source, ByteRange directory,
                           std::vector<PackageEntry>& entries) {
    std::string text(directory.size, '\0');
    source.ReadAt(directory.offset, reinterpret_cast<std::uint8_t*>(text.data()), text.size());
    std::vector<DirectoryLine> lines = ParsePackageDirectory(text, directory.offset);
    entries.resize(lines.size());
    std::uint64_t start = directory.offset;
    for (std::size_t k = lines.size(); k-- > 0;) {
        DirectoryLine& line = lines[k];
        if (line.recordLength > start) {
            throw PayloadError(line.position, "record length " + Num(line.recordLength) +
                                                  " past the start of the file");
        }
        start -= line.recordLength;
        entries[k] = {std::move(line.name), start, line.recordLength, 0};
    }
    for (PackageEntry& entry : entries) {
        entry.size = ReadLE32At(source, entry.offset);
    }
    return start;
}

// The package trailer P must give the same start as the directory did.
void CheckPackageTrailer(ByteSource& source, std::uint64_t endMarker, ByteRange package) {
    const std::uint32_t length = ReadLE32At(source, endMarker - 4);
    if (length > package.end()) {
        throw PayloadError(endMarker - 4,
                           "package length " + Num(length) + " past the start of the file");
    }
    if (length != package.size) {
        throw PayloadError(endMarker - 4, "package length " + Num(length) +
                                              " does not match the package directory (" +
                                              Num(package.size) + " bytes)");
    }
}

// Reads the document trailer T = D + 4 before the package start; returns the document section.
ByteRange LocateDocument(ByteSource& source, std::uint64_t packageStart) {
    if (packageStart < 4) {
        throw PayloadError(packageStart, "no document trailer before the package");
    }
    const std::uint64_t trailerAt = packageStart - 4;
    const std::uint32_t trailer = ReadLE32At(source, trailerAt);
    if (trailer < 4) {
        throw PayloadError(trailerAt, "document trailer " + Num(trailer) + " below 4");
    }
    if (trailer > packageStart) {
        throw PayloadError(trailerAt,
                           "document trailer " + Num(trailer) + " past the start of the file");
    }
    return {packageStart - trailer, trailer - 4u};
}

// Calls each(buffer, count) for the range in chunks of kCopyChunkSize bytes.
template <typename Each>
void ForEachChunk(ByteSource& source, ByteRange range, Each each) {
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(range.size, kCopyChunkSize)));
    for (std::uint64_t done = 0; done < range.size;) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), range.size - done));
        source.ReadAt(range.offset + done, buffer.data(), count);
        each(buffer.data(), count);
        done += count;
    }
}

// Owns a zlib inflate state.
class Inflater {
public:
    Inflater() {
        if (inflateInit(&stream_) != Z_OK) {
            throw std::bad_alloc();
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
};

std::string EntryText(const PackageEntry& entry) {
    return "entry \"" + entry.name + "\"";
}

}  // namespace

std::uint64_t FindEndMarker(ByteSource& source) {
    const std::uint64_t size = source.Size();
    const auto span = static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndMarkerSearchSpan));
    const std::uint64_t start = size - span;
    std::vector<std::uint8_t> tail(span);
    source.ReadAt(start, tail.data(), span);
    std::size_t run = 0;
    for (std::size_t i = span; i-- > 0;) {
        run = tail[i] == kEndMarkerByte ? run + 1 : 0;
        if (run == kEndMarkerSize) {
            return start + i;
        }
    }
    throw PayloadError(start, "no end marker of 256 bytes 0x0E in the last " +
                                  Num(kEndMarkerSearchSpan) + " bytes");
}

PayloadReader::PayloadReader(ByteSource& source) : source_(source) {
    PayloadLayout& l = layout_;
    l.fileSize = source.Size();
    l.endMarker = FindEndMarker(source);
    l.directory = LocateDirectory(source, l.endMarker);
    const std::uint64_t packageStart = PlaceEntries(source, l.directory, l.entries);
    l.package = {packageStart, l.endMarker - 4 - packageStart};
    CheckPackageTrailer(source, l.endMarker, l.package);
    l.document = LocateDocument(source, packageStart);
    l.stub = {0, l.document.offset};
}

void PayloadReader::CopyStub(const ChunkSink& sink) const {
    ForEachChunk(source_, layout_.stub, [&](std::uint8_t* data, std::size_t count) {
        sink({data, count});
    });
}

void PayloadReader::CopyPackageAndEnd(const ChunkSink& sink) const {
    const ByteRange tail = {layout_.package.offset,
                            layout_.endMarker + kEndMarkerSize - layout_.package.offset};
    ForEachChunk(source_, tail, [&](std::uint8_t* data, std::size_t count) {
        sink({data, count});
    });
}

void PayloadReader::CopyDocument(DocumentForm form, const ChunkSink& sink) const {
    // The chunk size is a multiple of the key length, so restarting the key per chunk is exact.
    static_assert(kCopyChunkSize % kScrambleKeyLength == 0);
    ForEachChunk(source_, layout_.document, [&](std::uint8_t* data, std::size_t count) {
        if (form == DocumentForm::Unscrambled) {
            ScrambleBuffer(data, kScrambleKey, kScrambleKeyLength, count);
        }
        sink({data, count});
    });
}

void PayloadReader::InflateEntry(std::size_t index, const ChunkSink& sink) const {
    const PackageEntry& entry = layout_.entries.at(index);
    const std::uint64_t inEnd = entry.offset + entry.recordLength;
    std::uint64_t inPos = entry.offset + 4;
    std::vector<std::uint8_t> in(std::min<std::size_t>(kInflateChunkSize, entry.recordLength - 4u));
    std::vector<std::uint8_t> out(kInflateChunkSize);
    Inflater inflater;
    z_stream& z = inflater.stream();
    std::uint64_t produced = 0;
    int status = Z_OK;
    bool outputPending = false;  // the last call filled the output; zlib may hold more
    while (status != Z_STREAM_END) {
        if (z.avail_in == 0 && !outputPending) {
            if (inPos == inEnd) {
                throw PayloadError(inEnd, EntryText(entry) + " ends before its zlib stream does");
            }
            const auto count =
                static_cast<std::size_t>(std::min<std::uint64_t>(in.size(), inEnd - inPos));
            source_.ReadAt(inPos, in.data(), count);
            inPos += count;
            z.next_in = in.data();
            z.avail_in = static_cast<uInt>(count);
        }
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END &&
            !(status == Z_BUF_ERROR && z.avail_in == 0)) {
            throw PayloadError(inPos - z.avail_in,
                               EntryText(entry) + " is not a valid zlib stream" +
                                   (z.msg != nullptr ? std::string(": ") + z.msg : std::string()));
        }
        const std::size_t got = out.size() - z.avail_out;
        outputPending = z.avail_out == 0;
        if (got > entry.size - produced) {
            throw PayloadError(entry.offset, EntryText(entry) + " inflates to more than its size " +
                                                 Num(entry.size));
        }
        produced += got;
        if (got != 0) {
            sink({out.data(), got});
        }
    }
    if (produced != entry.size) {
        throw PayloadError(entry.offset, EntryText(entry) + " inflates to " + Num(produced) +
                                             " bytes, not its size " + Num(entry.size));
    }
    const std::uint64_t rest = inEnd - inPos + z.avail_in;
    if (rest != 0) {
        throw PayloadError(inEnd - rest,
                           EntryText(entry) + " has " + Num(rest) + " bytes after its zlib stream");
    }
}

std::vector<std::uint8_t> PayloadReader::EntryBytes(std::size_t index) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::min<std::size_t>(layout_.entries.at(index).size, 1u << 20));
    InflateEntry(index, [&](std::span<const std::uint8_t> chunk) {
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    });
    return bytes;
}

}  // namespace quorlix
