#pragma once

#include <string>

#include "platform/file.h"
#include "signing/signing_identity.h"

namespace quorlix {

// Signs finished outputs with the certificate, key and chain of a PKCS#12 file and, when an
// address is given, an RFC 3161 timestamp. Made once per run, before any document is converted,
// so that a wrong password or a damaged file fails before anything is written.
class OutputSigner {
public:
    // Throws quorlix::Error naming the file and the cause (see LoadSigningIdentity), or the
    // timestamp address that cannot be used.
    OutputSigner(const std::string& pkcs12Path, const std::string& password,
                 std::string timestampUrl);

    // Signs an unsigned output, open for reading and writing: pads it with zeros to 8 bytes,
    // appends the signature as its certificate table, and sets the table's entry and the header
    // checksum. Throws quorlix::Error (or std::system_error for the file); the file may then be
    // half signed and is to be discarded.
    void Sign(File& output) const;

    // The subject of the signing certificate.
    const std::string& subject() const { return subject_; }

private:
    SigningIdentity identity_;
    std::string timestampUrl_;
    std::string subject_;
};

}  // namespace quorlix
