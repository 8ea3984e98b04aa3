#pragma once

#include <string>
#include <vector>

namespace quorlix {

// Writes UTF-8 lines as a text file in the ANSI code page, every line ended by CR LF, replacing
// any file at path. The text is converted here, at write time. A line holding CR or LF throws
// quorlix::Error before anything is written; a failed write throws std::system_error and leaves
// no partial file.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

// The bytes WriteTextLines writes for these lines (path only names the file in an error).
std::string TextFileBytes(const std::string& path, const std::vector<std::string>& lines);

}  // namespace quorlix
