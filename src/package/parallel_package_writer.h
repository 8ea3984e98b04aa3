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

// Appends one entry per source at the end of output, then the directory, its length and the
// signature (package/package_writer.h); returns the number of entries written. names[i] is the
// name of sources[i]; a missing or empty name means the source's file name. Every progress report
// is made on the calling thread: ShowStreamProgress for each full block of an entry's stream,
// EntryDone after each entry. A second thread deflates later entries into memory while the
// calling thread writes and deflates the earlier ones, at most kCompressedAheadLimit bytes ahead.
// The cancel flag is read on the calling thread before each entry and after each block or chunk;
// a cancel stops the writing there and writes nothing more (no directory). Throws the first
// failing entry's error (std::system_error for a source that cannot be read, quorlix::Error for
// a name the directory cannot hold), in entry order, after the entries before it were written.
std::size_t WritePackageInParallel(std::span<const std::string> sources,
                                   std::span<const std::string> names, File& output,
                                   ProgressSink& sink);

}  // namespace quorlix
