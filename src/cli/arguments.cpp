#include "cli/arguments.h"

#include <algorithm>
#include <cstddef>

namespace quorlix {

namespace {

const std::vector<std::string>& NoValues() {
    static const std::vector<std::string> none;
    return none;
}

const CliOption& FindOption(const std::vector<CliOption>& options, const std::string& arg,
                            std::string_view name, bool isShort) {
    const auto it = std::find_if(options.begin(), options.end(), [&](const CliOption& candidate) {
        return isShort ? candidate.shortName != '\0' &&
                             name == std::string_view(&candidate.shortName, 1)
                       : name == candidate.name;
    });
    if (it == options.end()) {
        throw UsageError("unknown option '" + arg + "'");
    }
    return *it;
}

// Handles the option at args[i]; returns how many arguments it took.
std::size_t ParseOption(const std::vector<std::string>& args, std::size_t i,
                        const std::vector<CliOption>& options, ParsedArguments& parsed) {
    const std::string& arg = args[i];
    const bool isShort = arg[1] != '-';
    const std::string_view body = std::string_view(arg).substr(isShort ? 1 : 2);
    const std::size_t equals = isShort ? std::string_view::npos : body.find('=');
    const std::string_view name = body.substr(0, equals);
    const std::string shown = (isShort ? "-" : "--") + std::string(name);
    const CliOption& option = FindOption(options, shown, name, isShort);
    if (!option.repeatable && parsed.Has(option.name)) {
        throw UsageError("option '" + shown + "' given more than once");
    }
    if (option.valueName.empty()) {
        if (equals != std::string_view::npos) {
            throw UsageError("option '" + shown + "' takes no value");
        }
        parsed.AddOption(option.name, {});
        return 1;
    }
    if (equals != std::string_view::npos) {
        parsed.AddOption(option.name, std::string(body.substr(equals + 1)));
        return 1;
    }
    if (i + 1 >= args.size()) {
        throw UsageError("option '" + shown + "' needs a value " + option.valueName);
    }
    parsed.AddOption(option.name, args[i + 1]);
    return 2;
}

}  // namespace

bool ParsedArguments::Has(std::string_view name) const {
    return options_.find(name) != options_.end();
}

std::string ParsedArguments::Value(std::string_view name) const {
    const auto& values = Values(name);
    return values.empty() ? std::string() : values.back();
}

const std::vector<std::string>& ParsedArguments::Values(std::string_view name) const {
    const auto it = options_.find(name);
    return it == options_.end() ? NoValues() : it->second;
}

void ParsedArguments::AddOption(const std::string& name, std::string value) {
    options_[name].push_back(std::move(value));
}

ParsedArguments ParseArguments(const std::vector<std::string>& args,
                               const std::vector<CliOption>& options) {
    ParsedArguments parsed;
    std::size_t i = 0;
    while (i < args.size()) {
        const std::string& arg = args[i];
        if (arg == "--") {
            for (++i; i < args.size(); ++i) {
                parsed.AddPositional(args[i]);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            i += ParseOption(args, i, options, parsed);
        } else {
            parsed.AddPositional(arg);
            ++i;
        }
    }
    return parsed;
}

}  // namespace quorlix
