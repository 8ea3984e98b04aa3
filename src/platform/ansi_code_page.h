#pragma once

#include <string>
#include <string_view>

namespace quorlix {

// The Windows ANSI code page that the user's locale implies (1252 unless the locale says
// otherwise), from the first of LC_ALL, LC_CTYPE, LANG that is set.
int AnsiCodePage();

// Converts UTF-8 text to the ANSI code page; characters it cannot hold become '?'.
std::string ToAnsi(std::string_view utf8);

// Converts ANSI code page text back to UTF-8.
std::string FromAnsi(std::string_view ansi);

}  // namespace quorlix
