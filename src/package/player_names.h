#pragma once

#include <string>
#include <string_view>

namespace quorlix {

// Why the player would refuse a package entry name stored as these ANSI bytes (a "|", CR or LF
// byte, which breaks its directory line, or a name that is not a plain relative file name once
// decoded from the code page, or the document's own name); empty when it takes the name.
std::string EntryNameProblem(std::string_view ansiName);

// The same for a name the converter holds in UTF-8, checked in the bytes it is written as; a
// character the ANSI code page cannot hold is a problem too.
std::string Utf8EntryNameProblem(std::string_view utf8Name);

}  // namespace quorlix
