// Writes the bash completion of quorlix-cli from the program's own command table and option
// field names, so the completion never lags behind the program.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_help.h"
#include "cli/commands.h"
#include "conversion/option_fields.h"

namespace quorlix {
namespace {

// The completion logic; the tables it reads are written before it.
constexpr std::string_view kFunctions = R"bash(
# Offers the words of a list that begin with text.
_quorlix_cli_reply()
{
    mapfile -t COMPREPLY < <(compgen -W "$1" -- "$2")
}

# Offers what a value of that kind can be: dir, file, document, exe, field, font or variable;
# nothing for text of the user's own.
_quorlix_cli_value()
{
    local kind=$1 text=$2 item name
    COMPREPLY=()
    case $kind in
        dir)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$text") ;;
        file)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$text") ;;
        document | exe)
            compopt -o filenames 2>/dev/null
            while IFS= read -r item; do
                if [[ -d $item ]] || { [[ $kind == exe ]] && [[ ${item,,} == *.exe ]]; } ||
                    { [[ $kind == document ]] && [[ ${item,,} == *.doc || ${item,,} == *.docx ]]; }; then
                    COMPREPLY+=("$item")
                fi
            done < <(compgen -f -- "$text") ;;
        field)
            [[ $text == *=* ]] && return
            compopt -o nospace 2>/dev/null
            for item in $_quorlix_cli_fields; do
                [[ $item == "$text"* ]] && COMPREPLY+=("$item=")
            done ;;
        variable)
            mapfile -t COMPREPLY < <(compgen -v -- "$text") ;;
        font)
            text=${text//\\/}
            while IFS=$'\t' read -r name item; do
                if [[ -n $name && $name == "$text"* ]]; then
                    printf -v item '%q' "$name"
                    COMPREPLY+=("$item")
                fi
            done < <("${COMP_WORDS[0]}" fonts 2>/dev/null) ;;
    esac
}

_quorlix_cli()
{
    COMPREPLY=()
    # The words up to the cursor, with "NAME=VALUE" joined again where bash split it at "=".
    local -a words=()
    local i word joined=0
    for ((i = 0; i <= COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == = ]] && ((${#words[@]} > 1)); then
            words[-1]+==
            joined=1
        elif ((joined)); then
            words[-1]+=$word
            joined=0
        else
            words+=("$word")
        fi
    done
    local cur=${words[-1]}
    local command= pending= positional=0 options_done=0
    for ((i = 1; i < ${#words[@]} - 1; i++)); do
        word=${words[i]}
        if [[ -n $pending ]]; then
            pending=
        elif [[ -z $command ]]; then
            [[ $word != -* ]] && command=$word
        elif ((!options_done)) && [[ $word == -- ]]; then
            options_done=1
        elif ((!options_done)) && [[ $word == -* ]]; then
            [[ $word != *=* ]] && pending=$(_quorlix_cli_value_kind "$command" "$word")
        else
            ((positional++))
        fi
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            _quorlix_cli_reply '--help --version' "$cur"
        else
            _quorlix_cli_reply "$_quorlix_cli_commands" "$cur"
        fi
    elif [[ -n $pending ]]; then
        _quorlix_cli_value "$pending" "$cur"
    elif ((!options_done)) && [[ $cur == -*=* ]]; then
        _quorlix_cli_value "$(_quorlix_cli_value_kind "$command" "${cur%%=*}")" "${cur#*=}"
    elif ((!options_done)) && [[ $cur == -* ]]; then
        _quorlix_cli_reply "$(_quorlix_cli_options "$command")" "$cur"
    else
        _quorlix_cli_value "$(_quorlix_cli_argument_kind "$command" "$positional")" "$cur"
    fi
}

complete -F _quorlix_cli quorlix-cli
)bash";

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

// What the value of an option is, by the name its help gives the value.
std::string ValueKind(const CliOption& option) {
    if (option.valueName.find('=') != std::string::npos) {
        return "field";
    }
    if (option.valueName == "DIR") {
        return "dir";
    }
    if (option.valueName == "URL") {
        return "text";
    }
    if (option.name == "sign-password-env") {
        return "variable";
    }
    return option.name == "embed-font" ? "font" : "file";
}

// What a positional argument is, by the word the usage line gives it.
std::string ArgumentKind(std::string_view word) {
    if (word.starts_with("DIR")) {
        return "dir";
    }
    if (word.starts_with("DOCUMENT")) {
        return "document";
    }
    return word.starts_with("EXE") ? "exe" : "file";
}

void WriteTables(std::ostream& out) {
    std::vector<std::string> names;
    for (const Command& command : Commands()) {
        names.emplace_back(command.name);
    }
    out << "_quorlix_cli_commands='" << Joined(names) << "'\n";
    out << "_quorlix_cli_fields='" << Joined(OptionFieldNames()) << "'\n\n";

    std::ostringstream options;
    std::ostringstream values;
    std::ostringstream arguments;
    for (const Command& command : Commands()) {
        std::vector<std::string> words;
        for (const CliOption& option : OptionsOf(command)) {
            words.push_back("--" + option.name);
            if (option.shortName != '\0') {
                words.push_back(std::string("-") + option.shortName);
            }
            if (!option.valueName.empty()) {
                values << "        " << command.name << ":--" << option.name << ") echo "
                       << ValueKind(option) << " ;;\n";
            }
        }
        options << "        " << command.name << ") echo '" << Joined(words) << "' ;;\n";

        std::vector<std::string> kinds;
        bool repeats = false;
        std::istringstream usage{std::string(command.arguments)};
        for (std::string word; usage >> word;) {
            kinds.push_back(ArgumentKind(word));
            repeats = word.ends_with("...");
        }
        arguments << "        " << command.name << ") kinds=(" << Joined(kinds)
                  << ") repeats=" << (repeats ? 1 : 0) << " ;;\n";
    }
    out << "# The options of a command.\n_quorlix_cli_options()\n{\n    case $1 in\n"
        << options.str() << "    esac\n}\n\n";
    out << "# What the value of a command's option is; nothing for a flag.\n"
           "_quorlix_cli_value_kind()\n{\n    case $1:$2 in\n"
        << values.str() << "    esac\n}\n\n";
    out << "# What the positional argument of a command at index $2 is.\n"
           "_quorlix_cli_argument_kind()\n{\n    local -a kinds=()\n    local repeats=0 i=$2\n"
           "    case $1 in\n"
        << arguments.str()
        << "    esac\n"
           "    if ((i >= ${#kinds[@]})); then\n"
           "        ((repeats && ${#kinds[@]})) || return 0\n"
           "        i=$((${#kinds[@]} - 1))\n"
           "    fi\n"
           "    echo \"${kinds[i]}\"\n}\n";
}

}  // namespace
}  // namespace quorlix

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_bash_completion OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "# bash completion for quorlix-cli: commands, options, option field names of --set.\n"
           "# Written by the build from the program's command table.\n\n";
    quorlix::WriteTables(out);
    out << quorlix::kFunctions;
    out.close();
    if (!out) {
        std::cerr << "write_bash_completion: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
