#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"

namespace quorlix {

// Runs one command with its parsed arguments; returns the exit status. It may throw
// UsageError (exit status 2) or any other error (reported, exit status 1).
using CommandFunction = int (*)(const ParsedArguments& args, std::ostream& out, std::ostream& err);

// One command of quorlix-cli: its name, its help and the function that runs it.
struct Command {
    std::string_view name;
    std::string_view summary;    // one line, for the program's help
    std::string_view arguments;  // positional part of the usage line ("DOCUMENT..."), may be empty
    std::size_t minPositional = 0;
    std::size_t maxPositional = 0;
    std::vector<CliOption> options;  // "--help" is added to every command
    CommandFunction run = nullptr;
    std::string (*moreHelp)() = nullptr;  // text the command's help ends with, if any
};

// Every command, in the order the program's help lists them.
const std::vector<Command>& Commands();

// The option fields --set takes, for convert's help: name, kind, allowed values and default.
std::string OptionFieldsHelp();

// The command functions, one per command.
int RunFontsCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);
int RunConvertCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);
int RunInspectCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);
int RunVerifyCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);
int RunExtractCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);
int RunDefaultsCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);

}  // namespace quorlix
