#pragma once

// The steps that build an output executable (layout in common/payload_layout.h): the player
// stub from the program's resources, the scrambled document with its trailer D + 4, the package
// with its trailer P, and the end marker. Each step opens the output itself, moves to its end and
// closes it again.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/progress_sink.h"
#include "platform/file.h"

namespace quorlix {

// Writes the program's resource of that type and name (u32 size + zlib stream) inflated to
// outputPath; false on any error, and no file when the resource is missing. The steps that return
// false put the error's text in *cause when one is given.
bool ExtractStub(const std::string& type, const std::string& name, const std::string& outputPath,
                 std::string* cause = nullptr);

// The program's resource of that type and name (u32 size + zlib stream) inflated, once per
// process and kept: the same bytes for every later call. Throws quorlix::Error when it is missing
// or damaged.
const std::vector<std::uint8_t>& InflatedProgramResource(const std::string& type,
                                                         const std::string& name);

// Creates outputPath (and its missing folders), replacing any file there, and writes the U bytes
// that the zlib stream after the u32 size U in data inflates to. Throws std::system_error for
// file errors and quorlix::Error when data is damaged, shorter or longer than U; what was
// written stays.
void ExtractResourceToFile(const std::string& outputPath, std::span<const std::uint8_t> data);

// Appends the scrambled document and its trailer D + 4 to the output, opened exclusively; false
// on any error. A cancel stops the copy early; the trailer then records the shorter length.
bool AppendDocument(const std::string& documentPath, const std::string& outputPath,
                    ProgressSink& sink, std::string* cause = nullptr);
// The same on an output the caller holds open; throws on any error.
void AppendDocumentTo(const std::string& documentPath, File& output, ProgressSink& sink);

// Appends the file scrambled at the end of output; returns the number of bytes appended.
std::uint64_t AppendScrambledFile(const std::string& filePath, File& output, ProgressSink& sink);

// Copies count bytes (0: the whole source from position 0) scrambled to the target's position in
// chunks of at most 61,440 bytes, stopping before a chunk when a cancel was requested and
// reporting AddProgress after each chunk; returns the count asked for.
std::uint64_t CopyScrambled(File& source, File& target, std::uint64_t count, ProgressSink& sink);

// Appends the package of the sources (names as for WritePackage) and its trailer P to the
// output, opened exclusively. False when the output cannot be opened or written or a cancel was
// requested (then without trailer); an error raised while writing the package goes on to the
// caller after the output is closed.
bool AppendPackage(const std::string& outputPath, std::span<const std::string> sources,
                   std::span<const std::string> names, ProgressSink& sink,
                   std::string* cause = nullptr);

// Appends the same package bytes and trailer as AppendPackage to an output the caller holds
// open, deflating later entries on a second thread (WritePackageInParallel). False at a cancel
// (the package then stops short, without directory or trailer); errors are thrown.
bool AppendPackageInParallel(File& output, std::span<const std::string> sources,
                             std::span<const std::string> names, ProgressSink& sink);

// Appends the 256-byte end marker to the output, opened exclusively; false on any error.
bool AppendEndMarker(const std::string& outputPath, std::string* cause = nullptr);
// The same on an output the caller holds open; throws on any error.
void AppendEndMarkerTo(File& output);

}  // namespace quorlix
