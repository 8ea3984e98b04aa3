#include "common/pe_certificate.h"

#include "common/byte_order.h"

namespace quorlix {

namespace {

constexpr std::uint64_t kNewHeaderField = 0x3C;  // file offset of the PE signature
constexpr std::uint32_t kCoffHeaderSize = 20;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kCertificateDirectory = 4;

}  // namespace

std::optional<CertificateEntry> FindCertificateEntry(ByteSource& source) {
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
    const std::uint64_t position = directories + 8 * kCertificateDirectory;
    const auto count = BytesAt<4>(source, directories - 4);
    const auto entry = BytesAt<8>(source, position);
    if (!count || GetLE32(count->data()) <= kCertificateDirectory || !entry) {
        return std::nullopt;
    }
    return CertificateEntry{position, {GetLE32(entry->data()), GetLE32(entry->data() + 4)}};
}

}  // namespace quorlix
