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

// Asks for a password on the terminal that standard input is, without echo, restoring the
// terminal also when a signal ends the program meanwhile. Throws quorlix::Error when standard
// input is no terminal or ends before a line.
std::string AskPasswordOnTerminal(const std::string& prompt, std::ostream& err);

}  // namespace quorlix
