// Feeds arbitrary bytes to the player's reader of its own code signature: the certificate table
// found through the PE headers, the signature read, the digest found in it; damage must end in
// SignatureError, never a read outside the input.
#include <cstdint>
#include <optional>
#include <vector>

#include "common/image_signature.h"
#include "common/signature_error.h"
#include "common/signed_digest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        quorlix::FindSignedDigest({data, size});
    } catch (const quorlix::SignatureError&) {
    }
    const std::vector<std::uint8_t> bytes(data, data + size);
    quorlix::MemoryByteSource source(bytes);
    try {
        const quorlix::ImageSignatureFields fields = quorlix::CheckedImageSignatureFields(source);
        if (fields.Signed()) {
            std::uint64_t total = 0;
            quorlix::ReadDigestedBytes(
                source, fields, fields.certificateTable.offset,
                [&](std::uint64_t, std::span<const std::uint8_t> chunk) { total += chunk.size(); });
            quorlix::FindSignedDigest(quorlix::ReadSignatureBlob(source, fields));
        }
    } catch (const quorlix::SignatureError&) {
    }
    return 0;
}
