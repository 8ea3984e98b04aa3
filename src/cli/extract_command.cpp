#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_help.h"
#include "cli/commands.h"
#include "cli/payload_extraction.h"

namespace quorlix {

int RunExtractCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err) {
    const auto& positional = args.positional();
    std::vector<std::string> skipped;
    for (const std::string& path : ExtractPayload(positional[0], positional[1], &skipped)) {
        out << path << "\n";
    }
    for (const std::string& name : skipped) {
        err << kProgramName << " extract: skipped the package entry \"" << name
            << "\": a later entry has the same name.\n";
    }
    return out ? kExitSuccess : kExitFailure;
}

}  // namespace quorlix
