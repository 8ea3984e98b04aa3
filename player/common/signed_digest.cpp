#include "common/signed_digest.h"

#include <algorithm>
#include <iterator>

#include "common/der_reader.h"
#include "common/signature_error.h"

namespace quorlix {

namespace {

// Object identifiers as their DER contents.
constexpr std::uint8_t kSignedDataOid[] = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};
constexpr std::uint8_t kIndirectDataOid[] = {0x2B, 0x06, 0x01, 0x04, 0x01,
                                             0x82, 0x37, 0x02, 0x01, 0x04};
constexpr std::uint8_t kSha1Oid[] = {0x2B, 0x0E, 0x03, 0x02, 0x1A};
constexpr std::uint8_t kSha256Oid[] = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01};
constexpr std::uint8_t kSha384Oid[] = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x02};
constexpr std::uint8_t kSha512Oid[] = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x03};

template <std::size_t size>
bool Is(std::span<const std::uint8_t> contents, const std::uint8_t (&oid)[size]) {
    return std::equal(contents.begin(), contents.end(), std::begin(oid), std::end(oid));
}

DigestKind KindOf(std::span<const std::uint8_t> oid) {
    if (Is(oid, kSha256Oid)) {
        return DigestKind::Sha256;
    }
    if (Is(oid, kSha1Oid)) {
        return DigestKind::Sha1;
    }
    if (Is(oid, kSha384Oid)) {
        return DigestKind::Sha384;
    }
    if (Is(oid, kSha512Oid)) {
        return DigestKind::Sha512;
    }
    throw SignatureError("the code signature names a digest algorithm this program does not know");
}

// The contents of the single element inside an explicit [0] wrapper.
DerElement Unwrapped(DerReader& outer, std::uint8_t tag, const char* what) {
    DerReader wrapper(outer.Expect(kDerExplicit0, what).contents);
    return wrapper.Expect(tag, what);
}

// SignedData's encapsulated content: it must be the indirect data; returns its contents.
std::span<const std::uint8_t> IndirectData(std::span<const std::uint8_t> signedData) {
    DerReader fields(signedData);
    fields.Expect(kDerInteger, "signed data version");
    fields.Expect(kDerSet, "digest algorithm set");
    DerReader content(fields.Expect(kDerSequence, "signed content").contents);
    if (!Is(content.Expect(kDerObjectId, "content type").contents, kIndirectDataOid)) {
        throw SignatureError("the code signature does not sign a program's digest");
    }
    return Unwrapped(content, kDerSequence, "indirect data").contents;
}

}  // namespace

std::size_t DigestLength(DigestKind kind) {
    switch (kind) {
        case DigestKind::Sha1:
            return 20;
        case DigestKind::Sha256:
            return 32;
        case DigestKind::Sha384:
            return 48;
        case DigestKind::Sha512:
            return 64;
    }
    return 0;
}

SignedDigest FindSignedDigest(std::span<const std::uint8_t> signature) {
    DerReader top(signature);
    DerReader contentInfo(top.Expect(kDerSequence, "content info").contents);
    if (!Is(contentInfo.Expect(kDerObjectId, "content type").contents, kSignedDataOid)) {
        throw SignatureError("the code signature is not PKCS#7 signed data");
    }
    const DerElement signedData = Unwrapped(contentInfo, kDerSequence, "signed data");
    DerReader indirect(IndirectData(signedData.contents));
    indirect.Expect(kDerSequence, "image data");
    DerReader digestInfo(indirect.Expect(kDerSequence, "digest info").contents);
    DerReader algorithm(digestInfo.Expect(kDerSequence, "digest algorithm").contents);
    SignedDigest digest;
    digest.kind = KindOf(algorithm.Expect(kDerObjectId, "digest algorithm").contents);
    const std::span<const std::uint8_t> value =
        digestInfo.Expect(kDerOctetString, "digest").contents;
    if (value.size() != DigestLength(digest.kind)) {
        throw SignatureError("the code signature's digest has the wrong length");
    }
    digest.value.assign(value.begin(), value.end());
    return digest;
}

}  // namespace quorlix
