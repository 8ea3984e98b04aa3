#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "package/progress_sink.h"
#include "platform/file.h"

namespace quorlix {

// Entries deflated ahead of the one being written are held in memory up to this many bytes (each
// deflating thread may go one chunk's blocks beyond it).
inline constexpr std::size_t kCompressedAheadLimit = 16 * 1024 * 1024;

// Writes the same package bytes as WritePackage, with the same progress reports in the same
// order, all made on the calling thread; a second thread deflates later entries into memory
// while the calling thread writes and deflates the earlier ones, at most kCompressedAheadLimit
// bytes ahead. The cancel flag is read on the calling thread before each entry and after each
// block or chunk; a cancel stops the writing there and writes nothing more (no directory). Throws
// the first failing entry's error, in entry order, after the entries before it were written.
std::size_t WritePackageInParallel(std::span<const std::string> sources,
                                   std::span<const std::string> names, File& output,
                                   ProgressSink& sink);

}  // namespace quorlix
