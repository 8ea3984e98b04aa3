#include "common/document_section.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/byte_order.h"
#include "common/compound_file_writer.h"
#include "common/container_stream_writer.h"
#include "common/error.h"
#include "common/image_signature.h"
#include "common/scrambling_sink.h"

namespace quorlix {

PackageObjectNames StoredNames(const DocumentPlace& place) {
    return {place.ansiName,    place.ansiSourcePath,    place.ansiTemporaryPath,
            place.unicodeName, place.unicodeSourcePath, place.unicodeTemporaryPath};
}

std::uint64_t WriteDocumentSection(const PackageObjectNames& names, StreamContent document,
                                   ByteSink& sink) {
    CompoundFileWriter storage;
    AddPackageObject(storage, names, std::move(document));
    ScramblingSink scrambled(sink);
    WriteContainerStream(storage, scrambled);
    return scrambled.written();
}

namespace {

// Copies the player stub. The new output is not signed: a signed stub's certificate table entry
// is cleared, and its header checksum, which covered the signature, with it.
void CopyUnsignedStub(const PayloadReader& reader, ByteSink& sink) {
    ByteSourceSlice stub(reader.source(), 0, reader.layout().stub.size);
    const std::optional<ImageSignatureFields> fields = ReadImageSignatureFields(stub);
    std::vector<ByteRange> cleared;
    if (fields && fields->Signed()) {
        cleared = {{fields->checksumField, 4}, {fields->certificateEntry, 8}};
    }
    std::uint64_t at = 0;
    std::vector<std::uint8_t> copy;
    reader.CopyStub([&](std::span<const std::uint8_t> chunk) {
        copy.assign(chunk.begin(), chunk.end());
        for (const ByteRange& range : cleared) {
            const std::uint64_t from = std::max(at, range.offset);
            const std::uint64_t to = std::min(at + chunk.size(), range.end());
            for (std::uint64_t i = from; i < to; ++i) {
                copy[static_cast<std::size_t>(i - at)] = 0;
            }
        }
        sink.Write(copy.data(), copy.size());
        at += chunk.size();
    });
}

}  // namespace

void WriteOutputWithDocument(const PayloadReader& reader, const PackageObjectNames& names,
                             StreamContent document, ByteSink& sink) {
    const ChunkSink copy = [&sink](std::span<const std::uint8_t> chunk) {
        sink.Write(chunk.data(), chunk.size());
    };
    CopyUnsignedStub(reader, sink);
    const std::uint64_t sectionSize = WriteDocumentSection(names, std::move(document), sink);
    // The document trailer holds the section's length plus 4 in 32 bits.
    if (sectionSize > 0xFFFFFFFFu - 4) {
        throw Error("The document is too large to embed");
    }
    std::uint8_t trailer[4];
    SetLE32(trailer, static_cast<std::uint32_t>(sectionSize + 4));
    sink.Write(trailer, sizeof trailer);
    reader.CopyPackageAndEnd(copy);
}

}  // namespace quorlix
