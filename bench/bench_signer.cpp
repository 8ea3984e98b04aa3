#include "bench_signer.h"

#include <cstdio>
#include <cstdlib>

namespace quorlix::bench {

std::optional<std::string> MakeBenchCertificate(const std::string& scratch) {
    const std::string key = scratch + "/signing.key";
    const std::string certificate = scratch + "/signing.pem";
    const std::string pkcs12 = scratch + "/signing.p12";
    const std::string commands =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=quorlix-bench -keyout '" +
        key + "' -out '" + certificate + "' && openssl pkcs12 -export -inkey '" + key + "' -in '" +
        certificate + "' -out '" + pkcs12 + "' -passout pass:" + kBenchPassword;
    if (std::system(("(" + commands + ") >/dev/null 2>&1").c_str()) != 0) {
        std::fprintf(stderr, "no openssl program: signing is left out\n");
        return std::nullopt;
    }
    return pkcs12;
}

}  // namespace quorlix::bench
