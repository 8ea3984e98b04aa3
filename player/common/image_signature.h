#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "common/byte_source.h"
#include "common/payload_reader.h"

namespace quorlix {

// The fields of a PE image that its code signature (Authenticode) concerns: the header checksum
// and the certificate table entry, which the signed digest skips, and the table they name.
//
//   [0, checksum) [checksum + 4, entry) [entry + 8, table) ... digested, padded to 8 bytes
//   [table, table + size)  certificate table: u32 length, u16 revision 0x0200,
//                          u16 type 2 (PKCS#7 signed data), the signature, zeros to 8 bytes
struct ImageSignatureFields {
    std::uint64_t checksumField = 0;     // file offset of the 4-byte header checksum
    std::uint64_t certificateEntry = 0;  // file offset of the 8-byte certificate table entry
    ByteRange certificateTable;          // as the entry gives it; size 0 when unsigned

    bool Signed() const { return certificateTable.size != 0; }
};

// Receives the digested bytes in order, each chunk with its file position.
using PlacedChunkSink =
    std::function<void(std::uint64_t position, std::span<const std::uint8_t> chunk)>;

inline constexpr std::uint64_t kCertificateAlignment = 8;
inline constexpr std::uint16_t kCertificateRevision = 0x0200;
inline constexpr std::uint16_t kSignedDataCertificate = 0x0002;
inline constexpr std::uint32_t kCertificateHeaderSize = 8;

// The fields of a PE image with a certificate table entry; none for any other file.
std::optional<ImageSignatureFields> ReadImageSignatureFields(ByteSource& source);

// The fields of a signed image whose certificate table is well placed: after the headers' fields,
// inside the file, and ending where the file ends (bytes after it would not be covered by the
// signature). Throws SignatureError otherwise; an unsigned image passes.
ImageSignatureFields CheckedImageSignatureFields(ByteSource& source);

// Hands the bytes that the signed digest covers, up to end (the certificate table, or the file
// size of a file still to be signed, which must then be padded to 8 bytes), to the sink.
void ReadDigestedBytes(ByteSource& source, const ImageSignatureFields& fields, std::uint64_t end,
                       const PlacedChunkSink& sink);

// The signature (PKCS#7 signed data) of the certificate table's first certificate. Throws
// SignatureError when the certificate header does not hold one.
std::vector<std::uint8_t> ReadSignatureBlob(ByteSource& source, const ImageSignatureFields& fields);

}  // namespace quorlix
