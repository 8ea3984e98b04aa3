#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_help.h"
#include "cli/commands.h"
#include "cli/payload_extraction.h"
#include "common/payload_error.h"

namespace quorlix {

int RunExtractCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err) {
    const auto& positional = args.positional();
    std::vector<std::string> written;
    try {
        written = ExtractPayload(positional[0], positional[1]);
    } catch (const PayloadError& e) {
        err << kProgramName << " extract: " << positional[0] << ": damaged: " << e.what() << "\n";
        return kExitFailure;
    }
    for (const std::string& path : written) {
        out << path << "\n";
    }
    return out ? kExitSuccess : kExitFailure;
}

}  // namespace quorlix
