#include "common/image_signature.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/signature_error.h"

namespace quorlix {

namespace {

constexpr std::uint64_t kNewHeaderField = 0x3C;  // file offset of the PE signature's offset
constexpr std::uint32_t kPeSignature = 0x00004550;
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint64_t kChecksumInOptionalHeader = 64;
constexpr std::uint32_t kCertificateDirectory = 4;
constexpr std::size_t kDigestChunkSize = 65536;
// A signature longer than this is taken for a damaged length rather than read into memory.
constexpr std::uint32_t kMaxSignatureSize = 16u << 20;

}  // namespace

std::optional<ImageSignatureFields> ReadImageSignatureFields(ByteSource& source) {
    const auto mz = BytesAt<2>(source, 0);
    const auto lfanew = BytesAt<4>(source, kNewHeaderField);
    if (!mz || (*mz)[0] != 'M' || (*mz)[1] != 'Z' || !lfanew) {
        return std::nullopt;
    }
    const std::uint64_t pe = GetLE32(lfanew->data());
    const auto signature = BytesAt<4>(source, pe);
    const std::uint64_t optional = pe + 4 + kCoffHeaderSize;
    const auto magic = BytesAt<2>(source, optional);
    if (!signature || GetLE32(signature->data()) != kPeSignature || !magic) {
        return std::nullopt;
    }
    const std::uint16_t kind = GetLE16(magic->data());
    if (kind != kPe32Magic && kind != kPe32PlusMagic) {
        return std::nullopt;
    }
    const std::uint64_t directories = optional + (kind == kPe32PlusMagic ? 112 : 96);
    ImageSignatureFields fields;
    fields.checksumField = optional + kChecksumInOptionalHeader;
    fields.certificateEntry = directories + 8 * kCertificateDirectory;
    const auto count = BytesAt<4>(source, directories - 4);
    const auto entry = BytesAt<8>(source, fields.certificateEntry);
    if (!count || GetLE32(count->data()) <= kCertificateDirectory || !entry) {
        return std::nullopt;
    }
    fields.certificateTable = {GetLE32(entry->data()), GetLE32(entry->data() + 4)};
    return fields;
}

ImageSignatureFields CheckedImageSignatureFields(ByteSource& source) {
    const std::optional<ImageSignatureFields> fields = ReadImageSignatureFields(source);
    if (!fields) {
        throw SignatureError("not a Windows executable with a certificate table entry");
    }
    const ByteRange& table = fields->certificateTable;
    if (!fields->Signed()) {
        return *fields;
    }
    if (table.offset < fields->certificateEntry + 8 || table.offset > source.Size() ||
        table.size > source.Size() - table.offset) {
        throw SignatureError("the certificate table lies outside the file");
    }
    if (table.end() != source.Size()) {
        throw SignatureError("the file was changed after it was signed: " +
                             std::to_string(source.Size() - table.end()) +
                             " bytes follow the signature");
    }
    return *fields;
}

void ReadDigestedBytes(ByteSource& source, const ImageSignatureFields& fields, std::uint64_t end,
                       const PlacedChunkSink& sink) {
    if (end < fields.certificateEntry + 8 || end > source.Size()) {
        throw SignatureError("the file ends inside its headers");
    }
    const ByteRange ranges[] = {
        {0, fields.checksumField},
        {fields.checksumField + 4, fields.certificateEntry - fields.checksumField - 4},
        {fields.certificateEntry + 8, end - fields.certificateEntry - 8},
    };
    std::vector<std::uint8_t> buffer(kDigestChunkSize);
    for (const ByteRange& range : ranges) {
        for (std::uint64_t done = 0; done < range.size;) {
            const auto count =
                static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), range.size - done));
            source.ReadAt(range.offset + done, buffer.data(), count);
            sink(range.offset + done, {buffer.data(), count});
            done += count;
        }
    }
}

std::vector<std::uint8_t> ReadSignatureBlob(ByteSource& source,
                                            const ImageSignatureFields& fields) {
    const ByteRange& table = fields.certificateTable;
    const auto header = table.size >= kCertificateHeaderSize
                            ? BytesAt<kCertificateHeaderSize>(source, table.offset)
                            : std::nullopt;
    if (!header) {
        throw SignatureError("the certificate table is too short for a certificate");
    }
    const std::uint32_t length = GetLE32(header->data());
    if (GetLE16(header->data() + 4) != kCertificateRevision ||
        GetLE16(header->data() + 6) != kSignedDataCertificate) {
        throw SignatureError("the certificate table holds no signature of a known kind");
    }
    if (length <= kCertificateHeaderSize || length > table.size || length > kMaxSignatureSize) {
        throw SignatureError("the certificate's length does not fit its table");
    }
    std::vector<std::uint8_t> blob(length - kCertificateHeaderSize);
    source.ReadAt(table.offset + kCertificateHeaderSize, blob.data(), blob.size());
    return blob;
}

}  // namespace quorlix
