#include "cli/cli_help.h"

#include <algorithm>
#include <cstddef>

#include "conversion/option_fields.h"

namespace quorlix {

namespace {

// Lines "  left  right" with the right column aligned.
std::string Columns(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::size_t width = 0;
    for (const auto& [left, right] : rows) {
        width = std::max(width, left.size());
    }
    std::string text;
    for (const auto& [left, right] : rows) {
        text += "  " + left + std::string(width - left.size() + 2, ' ') + right + "\n";
    }
    return text;
}

std::string OptionLabel(const CliOption& option) {
    std::string label = option.shortName != '\0' ? std::string("-") + option.shortName + ", " : "";
    label += "--" + option.name;
    if (!option.valueName.empty()) {
        label += " " + option.valueName;
    }
    return label;
}

}  // namespace

std::vector<CliOption> OptionsOf(const Command& command) {
    std::vector<CliOption> options = command.options;
    options.push_back({"help", "", false, "show this help and exit", 'h'});
    return options;
}

std::string ProgramHelp() {
    std::vector<std::pair<std::string, std::string>> commands;
    for (const Command& command : Commands()) {
        commands.emplace_back(std::string(command.name), std::string(command.summary));
    }
    return std::string("Usage: ") + kProgramName + " COMMAND [OPTIONS] [ARGUMENTS]\n" + "       " +
           kProgramName + " --help | --version\n\n" +
           "Turns Word documents into standalone Windows executables.\n\nCommands:\n" +
           Columns(commands) + "\nOptions:\n" +
           Columns({{"-h, --help", "show this help and exit"},
                    {"--version", "show the program's version and exit"}}) +
           "\nRun '" + kProgramName + " COMMAND --help' for the options of a command.\n";
}

std::string CommandHelp(const Command& command) {
    std::vector<std::pair<std::string, std::string>> options;
    for (const CliOption& option : OptionsOf(command)) {
        options.emplace_back(OptionLabel(option), option.help);
    }
    std::string usage =
        std::string("Usage: ") + kProgramName + " " + std::string(command.name) + " [OPTIONS]";
    if (!command.arguments.empty()) {
        usage += " " + std::string(command.arguments);
    }
    return usage + "\n\n" + std::string(command.summary) + "\n\nOptions:\n" + Columns(options) +
           (command.moreHelp != nullptr ? "\n" + command.moreHelp() : "");
}

std::string OptionFieldsHelp() {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const OptionFieldDescription& field : OptionFieldDescriptions()) {
        const bool quoted = field.kind == "text" || field.kind == "path" || field.kind == "font" ||
                            field.kind == "font list";
        // An "Auto close after" time of 0 seconds keeps the image until it is clicked.
        const bool closeTime = field.name == "firstsec" || field.name == "secondsec";
        rows.emplace_back(field.name, field.kind + ": " + field.allowed +
                                          (closeTime ? " (0 waits for a click)" : "") +
                                          "; default " +
                                          (quoted ? "\"" + field.initial + "\"" : field.initial));
    }
    return "Option fields of --set NAME=VALUE (kind: allowed values; default):\n" + Columns(rows);
}

}  // namespace quorlix
