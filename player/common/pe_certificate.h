#pragma once

#include <cstdint>
#include <optional>

#include "common/byte_source.h"
#include "common/payload_reader.h"

namespace quorlix {

// A PE file's certificate table entry (its security data directory): where the entry is and the
// file range it names (empty when the file is not signed).
struct CertificateEntry {
    std::uint64_t position = 0;  // file offset of the entry's 8 bytes
    ByteRange table;
};

// The certificate table entry of the PE file the source reads; nothing when it is no PE file or
// its optional header has no such entry.
std::optional<CertificateEntry> FindCertificateEntry(ByteSource& source);

}  // namespace quorlix
