#pragma once

#include <string>
#include <string_view>

namespace quorlix {

// A text read from a file, made safe to print on a terminal: control characters (C0, DEL and
// C1) and each byte of malformed UTF-8 are written as \xNN, so no byte of the file can move the
// cursor or change the terminal's state.
std::string TerminalText(std::string_view text);

}  // namespace quorlix
