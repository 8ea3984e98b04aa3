#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_help.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = quorlix::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    // What was reported may be lost: a failed write of either output is a failure of the run.
    if (!std::cout) {
        std::cerr << quorlix::kProgramName << ": standard output could not be written\n";
        std::cerr.flush();
        return quorlix::kExitFailure;
    }
    std::cerr.flush();
    return std::cerr ? status : quorlix::kExitFailure;
}
