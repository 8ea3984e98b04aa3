#pragma once

#include <string>

namespace quorlix {

// Writes "Autorun.inf" beside the output executable, naming it as icon and program to open,
// replacing any file of that name.
void WriteAutorunFile(const std::string& outputPath);

}  // namespace quorlix
