#include "cli/trailing_bytes.h"

#include <array>
#include <optional>

#include "common/byte_order.h"
#include "common/payload_error.h"
#include "common/payload_layout.h"

namespace quorlix {

namespace {

constexpr std::uint64_t kNewHeaderField = 0x3C;  // file offset of the PE signature
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kCertificateDirectory = 4;
constexpr std::uint16_t kCertificateRevision = 0x0200;
constexpr std::uint16_t kSignedDataCertificate = 0x0002;
constexpr std::uint64_t kCertificateAlignment = 8;

// count bytes at offset, or none when they lie outside the source.
template <std::size_t count>
std::optional<std::array<std::uint8_t, count>> BytesAt(ByteSource& source, std::uint64_t offset) {
    if (offset > source.Size() || source.Size() - offset < count) {
        return std::nullopt;
    }
    std::array<std::uint8_t, count> bytes{};
    source.ReadAt(offset, bytes.data(), count);
    return bytes;
}

// The file range the stub's certificate table entry names, if the stub is a PE file with one.
std::optional<ByteRange> CertificateTable(ByteSource& source) {
    const auto mz = BytesAt<2>(source, 0);
    const auto lfanew = BytesAt<4>(source, kNewHeaderField);
    if (!mz || (*mz)[0] != 'M' || (*mz)[1] != 'Z' || !lfanew) {
        return std::nullopt;
    }
    const std::uint64_t pe = GetLE32(lfanew->data());
    const auto signature = BytesAt<4>(source, pe);
    const std::uint64_t optional = pe + 4 + kCoffHeaderSize;
    const auto magic = BytesAt<2>(source, optional);
    if (!signature || GetLE32(signature->data()) != 0x00004550 || !magic) {
        return std::nullopt;
    }
    const std::uint64_t directories =
        optional + (GetLE16(magic->data()) == kPe32PlusMagic ? 112 : 96);
    const auto count = BytesAt<4>(source, directories - 4);
    const auto entry = BytesAt<8>(source, directories + 8 * kCertificateDirectory);
    if (!count || GetLE32(count->data()) <= kCertificateDirectory || !entry) {
        return std::nullopt;
    }
    return ByteRange{GetLE32(entry->data()), GetLE32(entry->data() + 4)};
}

bool IsCodeSignature(ByteSource& source, const ByteRange& trailing) {
    const std::optional<ByteRange> table = CertificateTable(source);
    if (!table || table->offset < trailing.offset ||
        table->offset - trailing.offset >= kCertificateAlignment ||
        table->offset + table->size != trailing.offset + trailing.size) {
        return false;
    }
    const auto header = BytesAt<8>(source, table->offset);
    return header && GetLE32(header->data()) <= table->size &&
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
