#pragma once

// The two pieces of work the benchmark compares for the same bytes: the conversion and the least
// work the output layout requires.

#include <cstdint>
#include <string>

#include "input_generator.h"

namespace quorlix::bench {

// The inputs of one measured run and the empty folder it writes into (deleted afterwards).
struct CaseInputs {
    std::string documentPath;
    const PackageFiles* packageFiles = nullptr;
    std::string caseFolder;
};

// Converts the case's document with its package files into caseFolder; returns the size of the
// staged copy it wrote. Throws when the conversion fails.
std::uint64_t RunMeasuredConversion(const CaseInputs& inputs);

// Writes a staged-copy-sized file of stagedSize bytes from the document, one scrambled copy of it
// and the level 6 deflate of every package file, with the conversion's buffer sizes; returns the
// number of bytes written.
std::uint64_t RunLeastWork(const CaseInputs& inputs, std::uint64_t stagedSize);

}  // namespace quorlix::bench
