#pragma once

// An output executable written step by step, each step opening the output anew, moving to its
// end and closing it again: the reference the conversion job's single pass is held to, byte for
// byte. Each step returns false on any error and puts the error's text in *cause when one is
// given.

#include <span>
#include <string>

#include "package/progress_sink.h"

namespace quorlix::test {

// Writes the program's resource of that type and name inflated to outputPath (its missing
// folders made, a file there replaced); no file when the resource is missing.
bool ExtractStub(const std::string& type, const std::string& name, const std::string& outputPath,
                 std::string* cause = nullptr);

// Appends the scrambled document and its trailer D + 4 to the output, opened exclusively. A
// cancel stops the copy early; the trailer then records the shorter length.
bool AppendDocument(const std::string& documentPath, const std::string& outputPath,
                    ProgressSink& sink, std::string* cause = nullptr);

// Appends the package of the sources (names as for WritePackage, written by it) and its trailer
// P to the output, opened exclusively. False also at a cancel (then without trailer); an error
// raised while writing the package goes on to the caller after the output is closed.
bool AppendPackage(const std::string& outputPath, std::span<const std::string> sources,
                   std::span<const std::string> names, ProgressSink& sink,
                   std::string* cause = nullptr);

// Appends the 256-byte end marker to the output, opened exclusively.
bool AppendEndMarker(const std::string& outputPath, std::string* cause = nullptr);

}  // namespace quorlix::test
