#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace quorlix {

constexpr const char* kProgramName = "quorlix-cli";

// The options of a command as the parser takes them: its own plus "--help".
std::vector<CliOption> OptionsOf(const Command& command);

// The text of "quorlix-cli --help".
std::string ProgramHelp();
// The text of "quorlix-cli COMMAND --help".
std::string CommandHelp(const Command& command);

}  // namespace quorlix
