#include "cli/cli.h"

#include <exception>
#include <string_view>
#include <system_error>

#include "cli/cli_help.h"
#include "cli/commands.h"

namespace quorlix {

namespace {

const Command* FindCommand(std::string_view name) {
    for (const Command& command : Commands()) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

void CheckPositionalCount(const Command& command, const ParsedArguments& parsed) {
    const auto& positional = parsed.positional();
    if (positional.size() > command.maxPositional) {
        throw UsageError("unexpected argument '" + positional[command.maxPositional] + "'");
    }
    if (positional.size() < command.minPositional) {
        throw UsageError("missing argument " + std::string(command.arguments));
    }
}

int RunCommand(const Command& command, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
    const ParsedArguments parsed = ParseArguments(args, OptionsOf(command));
    if (parsed.Has("help")) {
        out << CommandHelp(command);
        return kExitSuccess;
    }
    CheckPositionalCount(command, parsed);
    return command.run(parsed, out, err);
}

// Reports a usage error as "quorlix-cli[ COMMAND]: message" with a hint where help is found.
int UsageFailure(std::ostream& err, std::string_view command, const std::string& message) {
    const std::string who =
        std::string(kProgramName) + (command.empty() ? "" : " ") + std::string(command);
    err << who << ": " << message << "\nRun '" << who << " --help' for usage.\n";
    return kExitUsage;
}

// Runs the command named by args[0] and turns its errors into messages and exit statuses.
int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Command* command = FindCommand(args[0]);
    if (command == nullptr) {
        const bool isOption = args[0].size() > 1 && args[0][0] == '-';
        return UsageFailure(err, {},
                            (isOption ? "unknown option '" : "unknown command '") + args[0] + "'");
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
        return RunCommand(*command, rest, out, err);
    } catch (const UsageError& e) {
        return UsageFailure(err, command->name, e.what());
    } catch (const std::exception& e) {
        err << kProgramName << " " << command->name << ": " << e.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace

const char* CliVersion() {
    return QUORLIX_VERSION;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return UsageFailure(err, {}, "no command given");
    }
    if (args[0] == "--help" || args[0] == "-h") {
        out << ProgramHelp();
        return kExitSuccess;
    }
    if (args[0] == "--version") {
        out << kProgramName << " " << CliVersion() << "\n";
        return kExitSuccess;
    }
    return Dispatch(args, out, err);
}

}  // namespace quorlix
