#include <ostream>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/payload_extraction.h"

namespace quorlix {

int RunExtractCommand(const ParsedArguments& args, std::ostream& out, std::ostream&) {
    const auto& positional = args.positional();
    for (const std::string& path : ExtractPayload(positional[0], positional[1])) {
        out << path << "\n";
    }
    return out ? kExitSuccess : kExitFailure;
}

}  // namespace quorlix
