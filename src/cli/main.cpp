#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = quorlix::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return std::cout ? status : quorlix::kExitFailure;
}
