#include "stub/own_signature.h"

#include "common/image_signature.h"
#include "common/signature_error.h"
#include "common/signed_digest.h"
#include "stub/player_log.h"
#include "stub/reader_message.h"
#include "stub/stub_error.h"
#include "stub/system_digest.h"

namespace quorlix {

namespace {

constexpr wchar_t kChangedMessage[] =
    L"This program was changed after it was signed, so it may have been tampered with and will "
    L"not open its document.";

// True when the digest of the signed part, computed here, is the one the signature holds.
bool DigestMatches(ByteSource& self, const ImageSignatureFields& fields) {
    const SignedDigest expected = FindSignedDigest(ReadSignatureBlob(self, fields));
    SystemDigest digest(expected.kind);
    ReadDigestedBytes(
        self, fields, fields.certificateTable.offset,
        [&](std::uint64_t, std::span<const std::uint8_t> chunk) { digest.Add(chunk); });
    return digest.Finish() == expected.value;
}

}  // namespace

std::optional<ByteRange> CheckOwnSignature(ByteSource& self) {
    const std::optional<ImageSignatureFields> fields = ReadImageSignatureFields(self);
    if (!fields || !fields->Signed()) {
        LogStep(L"signature none");
        return ByteRange{0, self.Size()};
    }
    try {
        const ImageSignatureFields checked = CheckedImageSignatureFields(self);
        if (DigestMatches(self, checked)) {
            LogStep(L"signature digest matches");
            return ByteRange{0, checked.certificateTable.offset};
        }
        LogStep(L"signature digest differs");
    } catch (const SignatureError& e) {
        LogStep(L"signature refused: " + AnsiToWide(e.what()));
    }
    ShowReaderMessage(kChangedMessage, MB_ICONERROR);
    return std::nullopt;
}

}  // namespace quorlix
