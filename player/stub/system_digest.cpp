#include "stub/system_digest.h"

#include "stub/stub_error.h"

namespace quorlix {

namespace {

ALG_ID AlgorithmOf(DigestKind kind) {
    switch (kind) {
        case DigestKind::Sha1:
            return CALG_SHA1;
        case DigestKind::Sha256:
            return CALG_SHA_256;
        case DigestKind::Sha384:
            return CALG_SHA_384;
        case DigestKind::Sha512:
            return CALG_SHA_512;
    }
    return CALG_SHA_256;
}

}  // namespace

SystemDigest::SystemDigest(DigestKind kind) {
    if (!CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
        provider_ = 0;
        ThrowLastError(L"The system's cryptography is not available");
    }
    if (!CryptCreateHash(provider_, AlgorithmOf(kind), 0, 0, &hash_)) {
        hash_ = 0;
        const DWORD code = GetLastError();
        CryptReleaseContext(provider_, 0);
        SetLastError(code);
        ThrowLastError(L"The system cannot compute this file's digest");
    }
}

SystemDigest::~SystemDigest() {
    CryptDestroyHash(hash_);
    CryptReleaseContext(provider_, 0);
}

void SystemDigest::Add(std::span<const std::uint8_t> bytes) {
    if (!CryptHashData(hash_, bytes.data(), static_cast<DWORD>(bytes.size()), 0)) {
        ThrowLastError(L"The system cannot compute this file's digest");
    }
}

std::vector<std::uint8_t> SystemDigest::Finish() {
    DWORD length = 0;
    DWORD size = sizeof length;
    if (!CryptGetHashParam(hash_, HP_HASHSIZE, reinterpret_cast<BYTE*>(&length), &size, 0)) {
        ThrowLastError(L"The system cannot compute this file's digest");
    }
    std::vector<std::uint8_t> value(length);
    if (!CryptGetHashParam(hash_, HP_HASHVAL, value.data(), &length, 0)) {
        ThrowLastError(L"The system cannot compute this file's digest");
    }
    value.resize(length);
    return value;
}

}  // namespace quorlix
