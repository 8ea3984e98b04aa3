#pragma once

// The steps that build an output executable (layout in common/payload_layout.h): the player
// stub from the program's resources, the scrambled document with its trailer D + 4, the package
// with its trailer P, and the end marker, each appended at the end of an output the caller holds
// open.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/package_source.h"
#include "package/progress_sink.h"
#include "platform/file.h"
#include "platform/staged_copy.h"

namespace quorlix {

// The program's resource of that type and name (u32 size + zlib stream) inflated, once per
// process and kept: the same bytes for every later call. Throws quorlix::Error when it is missing
// or damaged.
const std::vector<std::uint8_t>& InflatedProgramResource(const std::string& type,
                                                         const std::string& name);

// The first U bytes that the zlib stream after the u32 size U in data inflates to (none for U 0).
// Throws quorlix::Error when the stream is damaged, cut short or gives fewer than U bytes.
std::vector<std::uint8_t> InflateResource(std::span<const std::uint8_t> data);

// Appends the document section (the staged copy scrambled, produced straight into the output a
// chunk of 61,440 bytes at a time, as ScrambledSectionSink reports and cancels) and its trailer
// D + 4 to an output the caller holds open; throws on any error, and "cancelled" at a cancel.
void AppendDocumentTo(const StagedCopy& stagedCopy, File& output, ProgressSink& sink);

// Appends the package of the sources (WritePackageInParallel) and its trailer P to an output the
// caller holds open. False at a cancel (the package then stops short, without directory or
// trailer); errors are thrown.
bool AppendPackageInParallel(File& output, std::span<const PackageSource> sources,
                             std::span<const std::string> names, ProgressSink& sink);

// Appends the 256-byte end marker to an output the caller holds open; throws on any error.
void AppendEndMarkerTo(File& output);

}  // namespace quorlix
