#pragma once

// The steps that build an output executable (layout in common/payload_layout.h): the player
// stub from the program's resources, the scrambled document with its trailer D + 4, the package
// with its trailer P, and the end marker, each appended at the end of an output the caller holds
// open.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/progress_sink.h"
#include "platform/file.h"

namespace quorlix {

// The program's resource of that type and name (u32 size + zlib stream) inflated, once per
// process and kept: the same bytes for every later call. Throws quorlix::Error when it is missing
// or damaged.
const std::vector<std::uint8_t>& InflatedProgramResource(const std::string& type,
                                                         const std::string& name);

// The first U bytes that the zlib stream after the u32 size U in data inflates to (none for U 0).
// Throws quorlix::Error when the stream is damaged, cut short or gives fewer than U bytes.
std::vector<std::uint8_t> InflateResource(std::span<const std::uint8_t> data);

// Appends the scrambled document and its trailer D + 4 to an output the caller holds open;
// throws on any error. A cancel stops the copy early; the trailer then records the shorter
// length.
void AppendDocumentTo(const std::string& documentPath, File& output, ProgressSink& sink);

// Appends the file scrambled at the end of output; returns the number of bytes appended.
std::uint64_t AppendScrambledFile(const std::string& filePath, File& output, ProgressSink& sink);

// Copies count bytes (0: the whole source from position 0) scrambled to the target's position in
// chunks of at most 61,440 bytes, stopping before a chunk when a cancel was requested and
// reporting AddProgress after each chunk; returns the count asked for.
std::uint64_t CopyScrambled(File& source, File& target, std::uint64_t count, ProgressSink& sink);

// Appends the package of the sources (WritePackageInParallel) and its trailer P to an output the
// caller holds open. False at a cancel (the package then stops short, without directory or
// trailer); errors are thrown.
bool AppendPackageInParallel(File& output, std::span<const std::string> sources,
                             std::span<const std::string> names, ProgressSink& sink);

// Appends the 256-byte end marker to an output the caller holds open; throws on any error.
void AppendEndMarkerTo(File& output);

}  // namespace quorlix
