#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorlix {

// Exit statuses of quorlix-cli.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Runs quorlix-cli with its arguments (the program name left out), writing results to out and
// messages to err; returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The program's version, the project version of the build.
const char* CliVersion();

}  // namespace quorlix
