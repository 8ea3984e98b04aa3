#pragma once

#include <windows.h>

#include <wincrypt.h>

#include <cstdint>
#include <span>
#include <vector>

#include "common/signed_digest.h"

namespace quorlix {

// A message digest computed by Windows' own cryptography (CryptoAPI, in advapi32, which the
// player imports anyway). Failures throw StubError.
class SystemDigest {
public:
    explicit SystemDigest(DigestKind kind);
    ~SystemDigest();
    SystemDigest(const SystemDigest&) = delete;
    SystemDigest& operator=(const SystemDigest&) = delete;

    void Add(std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> Finish();

private:
    HCRYPTPROV provider_ = 0;
    HCRYPTHASH hash_ = 0;
};

}  // namespace quorlix
