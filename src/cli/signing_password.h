#pragma once

#include <ostream>
#include <string>

#include "cli/arguments.h"

namespace quorlix {

// The password of the PKCS#12 file that convert signs with: the first line of the file that
// --sign-password-file names, else the variable that --sign-password-env names, else asked on
// the terminal (without echo; the prompt on err) when standard input is one. Throws
// quorlix::Error when none of these gives one.
std::string SigningPassword(const ParsedArguments& args, std::ostream& err);

}  // namespace quorlix
