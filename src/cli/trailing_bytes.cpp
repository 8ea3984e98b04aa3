#include "cli/trailing_bytes.h"

#include <optional>

#include "common/byte_order.h"
#include "common/image_signature.h"
#include "common/payload_error.h"
#include "common/payload_layout.h"

namespace quorlix {

namespace {

bool IsCodeSignature(ByteSource& source, const ByteRange& trailing) {
    const std::optional<ImageSignatureFields> fields = ReadImageSignatureFields(source);
    if (!fields) {
        return false;
    }
    const ByteRange& table = fields->certificateTable;
    if (table.offset < trailing.offset || table.offset - trailing.offset >= kCertificateAlignment ||
        table.offset + table.size != trailing.offset + trailing.size) {
        return false;
    }
    const auto header = BytesAt<kCertificateHeaderSize>(source, table.offset);
    return header && GetLE32(header->data()) <= table.size &&
           GetLE16(header->data() + 4) == kCertificateRevision &&
           GetLE16(header->data() + 6) == kSignedDataCertificate;
}

}  // namespace

TrailingBytes TrailingBytesOf(ByteSource& source, const PayloadLayout& layout) {
    TrailingBytes trailing;
    const std::uint64_t end = layout.endMarker + kEndMarkerSize;
    trailing.range = {end, layout.fileSize - end};
    trailing.codeSignature = trailing.range.size > 0 && IsCodeSignature(source, trailing.range);
    return trailing;
}

bool MayBeAnOutput(ByteSource& source) {
    try {
        FindEndMarker(source);
        return true;
    } catch (const PayloadError&) {
        const auto last = source.Size() > 0 ? BytesAt<1>(source, source.Size() - 1) : std::nullopt;
        return last && (*last)[0] == kEndMarkerByte;
    }
}

}  // namespace quorlix
