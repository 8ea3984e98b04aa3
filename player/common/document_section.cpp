#include "common/document_section.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/byte_order.h"
#include "common/compound_file_writer.h"
#include "common/container_stream_writer.h"
#include "common/error.h"
#include "common/pe_certificate.h"
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

// Copies the player stub; a certificate table entry in it is cleared, since the new output
// carries no signature.
void CopyUnsignedStub(const PayloadReader& reader, ByteSink& sink) {
    ByteSourceSlice stub(reader.source(), 0, reader.layout().stub.size);
    const std::optional<CertificateEntry> entry = FindCertificateEntry(stub);
    const bool signedStub = entry && (entry->table.offset != 0 || entry->table.size != 0);
    const ByteRange cleared = signedStub ? ByteRange{entry->position, 8} : ByteRange{};
    std::uint64_t at = 0;
    std::vector<std::uint8_t> copy;
    reader.CopyStub([&](std::span<const std::uint8_t> chunk) {
        const std::uint64_t from = std::max(at, cleared.offset);
        const std::uint64_t to = std::min(at + chunk.size(), cleared.end());
        if (from < to) {
            copy.assign(chunk.begin(), chunk.end());
            std::fill(copy.begin() + static_cast<std::ptrdiff_t>(from - at),
                      copy.begin() + static_cast<std::ptrdiff_t>(to - at), std::uint8_t{0});
            chunk = copy;
        }
        sink.Write(chunk.data(), chunk.size());
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
