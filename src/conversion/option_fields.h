#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/option_set.h"

namespace quorlix {

// The names of all option set fields, in the order of the option pages.
const std::vector<std::string>& OptionFieldNames();

// What a field takes, for the command line's help: its kind ("flag", "choice"...), the values
// it allows in the text form SetOptionField reads, and its initial value in that form.
struct OptionFieldDescription {
    std::string name;
    std::string kind;
    std::string allowed;
    std::string initial;
};

// Every field's description, in the order of OptionFieldNames.
std::vector<OptionFieldDescription> OptionFieldDescriptions();

// Sets the field called name from its text form: flags "1" or "0"; choices a decimal index
// within the field's list; numbers one or more decimal digits; waterimagetrans 0 to 100;
// watercolor 8 hexadecimal digits; waterfont font text; texts and paths as given (no line
// breaks); embedfontlist "display name=file entry" rows joined by ";" (empty for none).
// Throws quorlix::Error naming the field for an unknown name or a value the field cannot hold;
// the option set is then unchanged.
void SetOptionField(OptionSet& options, std::string_view name, std::string_view value);

// The field's value in the text form that SetOptionField reads; throws quorlix::Error for an
// unknown name.
std::string OptionFieldText(const OptionSet& options, std::string_view name);

}  // namespace quorlix
