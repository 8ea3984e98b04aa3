// Prints where a program installed in EXECUTABLE_FOLDER finds its data file NAME, by the same
// lookup the program uses; scripts/package runs it on the unpacked package.

#include <iostream>

#include "platform/program_data.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: quorlix_data_file EXECUTABLE_FOLDER NAME\n";
        return 2;
    }
    std::cout << quorlix::ProgramDataFile(argv[1], argv[2]) << "\n";
    return 0;
}
