#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace quorlix {

// A mistake on the command line; the front end reports it with exit status 2.
class UsageError : public Error {
public:
    using Error::Error;
};

// One long option that a command accepts.
struct CliOption {
    std::string name;       // without the leading "--"
    std::string valueName;  // empty for a flag, else how the help names its value ("FILE")
    bool repeatable = false;
    std::string help;
    char shortName = '\0';  // a one-letter alias ("-h"), '\0' for none
};

// The options and positional arguments of one command line.
class ParsedArguments {
public:
    // True when the option was given at least once.
    bool Has(std::string_view name) const;
    // The value of an option, the last one when repeated; empty when the option is absent.
    std::string Value(std::string_view name) const;
    // Every value of an option in command-line order (empty texts for a flag's occurrences).
    const std::vector<std::string>& Values(std::string_view name) const;
    const std::vector<std::string>& positional() const { return positional_; }

    void AddOption(const std::string& name, std::string value);
    void AddPositional(std::string value) { positional_.push_back(std::move(value)); }

private:
    std::map<std::string, std::vector<std::string>, std::less<>> options_;
    std::vector<std::string> positional_;
};

// Parses "--name VALUE", "--name=VALUE", flags, and positional arguments ("--" ends the
// options). Throws UsageError naming an unknown option, a missing or unexpected value, or a
// non-repeatable option given twice.
ParsedArguments ParseArguments(const std::vector<std::string>& args,
                               const std::vector<CliOption>& options);

}  // namespace quorlix
