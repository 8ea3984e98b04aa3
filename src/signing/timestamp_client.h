#pragma once

#include <span>
#include <string>

#include "signing/der_writer.h"

namespace quorlix {

// Throws quorlix::Error when the address is not one the timestamp client can ask: an http://
// address with a host.
void CheckTimestampAddress(const std::string& url);

// Asks the RFC 3161 time-stamping authority at url (HTTP POST; the proxy of http_proxy and
// no_proxy is used; given up after 20 seconds) for a timestamp of a SHA-256 digest, and checks
// that the answer grants one for that digest and the request's nonce. Returns the timestamp token
// (PKCS#7 signed data, DER). Throws quorlix::Error naming the address and what failed.
DerBytes RequestTimestampToken(const std::string& url, std::span<const std::uint8_t> sha256);

}  // namespace quorlix
