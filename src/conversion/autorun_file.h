#pragma once

#include <string>

namespace quorlix {

// Writes "Autorun.inf" beside the output executable, naming it as icon and program to open,
// replacing any file of that name: written whole under a temporary name, then renamed.
void WriteAutorunFile(const std::string& outputPath);

// The path of the autorun file beside an output executable.
std::string AutorunPathFor(const std::string& outputPath);

}  // namespace quorlix
