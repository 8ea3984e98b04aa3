#pragma once

// The pieces of work the benchmark compares for the same bytes: the conversion and the one-pass
// floor, the least any conversion can do for the same output.

#include <cstdint>
#include <string>
#include <vector>

#include "input_generator.h"
#include "signing/output_signer.h"

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

// The player stub inflated from the program's resources.
std::vector<std::uint8_t> InflatedStub();

// The one-pass floor: writes the stub from memory, reads the document once and writes
// stagedSize bytes of it scrambled with the key laid over each chunk, and deflates every package
// file with the package's zlib settings (on two threads, different entries on each, written in
// entry order, when threads is 2); returns the size of the file written.
std::uint64_t RunOnePassFloor(const CaseInputs& inputs, std::uint64_t stagedSize,
                              const std::vector<std::uint8_t>& stub, int threads);

// Converts every document into outputFolder with the default options, as the command line
// does, each output signed when a signer is given; returns the number converted. Throws when one
// fails.
std::uint64_t RunBatchConversion(const std::vector<std::string>& documents,
                                 const std::string& outputFolder, const std::string& runFolder,
                                 const OutputSigner* signer = nullptr);

// Writes the stub from memory to every path, as the least a batch of conversions must do; with
// sync, each file is also synced to disk before the next, as a whole-or-absent output must be.
std::uint64_t RunStubFloor(const std::vector<std::string>& outputPaths,
                           const std::vector<std::uint8_t>& stub, bool sync = false);

}  // namespace quorlix::bench
