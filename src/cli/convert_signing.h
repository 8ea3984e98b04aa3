#pragma once

#include <optional>
#include <ostream>

#include "cli/arguments.h"
#include "signing/output_signer.h"

namespace quorlix {

// The signer that convert signs every output with when --sign-pkcs12 is given; none otherwise.
// Throws UsageError for a signing option without --sign-pkcs12 or two password sources, and
// quorlix::Error when the PKCS#12 file cannot be used (unreadable, wrong password, key not
// matching its certificate) or the timestamp address is not one that can be asked.
std::optional<OutputSigner> SignerFrom(const ParsedArguments& args, std::ostream& err);

}  // namespace quorlix
