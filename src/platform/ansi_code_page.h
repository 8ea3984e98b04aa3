#pragma once

#include <string>
#include <string_view>

namespace quorlix {

// The Windows ANSI code page that the user's locale implies (1252 unless the locale says
// otherwise), from the first of LC_ALL, LC_CTYPE, LANG that is set, installed or not.
int AnsiCodePage();

// The ANSI code page of a locale name such as "ru_RU.UTF-8", "sr_RS@latin" or "C".
int AnsiCodePageOfLocale(std::string_view locale);

// Converts UTF-8 text to the ANSI code page; each character it cannot hold, and each byte of
// malformed UTF-8, becomes one '?'.
std::string ToAnsi(std::string_view utf8);
std::string ToAnsi(std::string_view utf8, int codePage);

// Converts ANSI code page text back to UTF-8; a byte with no character in the code page
// becomes '?'.
std::string FromAnsi(std::string_view ansi);
std::string FromAnsi(std::string_view ansi, int codePage);

}  // namespace quorlix
