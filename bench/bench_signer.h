#pragma once

// The benchmarks' signing certificate, made by the openssl program in their scratch folder.

#include <optional>
#include <string>

namespace quorlix::bench {

// The password of the PKCS#12 file that MakeBenchCertificate writes.
inline constexpr const char* kBenchPassword = "bench";

// Writes a self-signed RSA 2048 certificate and key as scratch/signing.p12 and returns its path;
// nullopt (and a note on standard error) when the openssl program cannot make it.
std::optional<std::string> MakeBenchCertificate(const std::string& scratch);

}  // namespace quorlix::bench
