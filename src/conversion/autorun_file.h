#pragma once

#include <string>

#include "platform/replacement_file.h"

namespace quorlix {

// "Autorun.inf" beside an output executable, naming it as icon and program to open: written
// whole and synced under a temporary name when made, put in place (replacing any file of that
// name) only by Commit, so that it can follow the executable it names.
class AutorunFile {
public:
    explicit AutorunFile(const std::string& outputPath);
    // Renames the file over Autorun.inf; throws std::system_error naming it.
    void Commit();

private:
    ReplacementFile file_;
};

// Writes Autorun.inf beside the output executable and puts it in place at once.
void WriteAutorunFile(const std::string& outputPath);

// The path of the autorun file beside an output executable.
std::string AutorunPathFor(const std::string& outputPath);

}  // namespace quorlix
