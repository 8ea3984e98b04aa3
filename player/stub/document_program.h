#pragma once

#include <string>

namespace quorlix {

// Whether some program on this computer opens files of the document's kind (its extension, with
// the dot), by the shell's associations. Only a plain "none" counts as none: where the
// associations cannot be read, opening is left to try.
bool HasProgramFor(const std::wstring& extension);

// What the reader is told when no program opens the document.
std::wstring NoProgramMessage(const std::wstring& extension);

}  // namespace quorlix
