#pragma once

// The package written one entry after the other on the calling thread, through a zlib stream
// per entry: the plain reading of the package format, kept as the reference that the program's
// parallel writer (package/parallel_package_writer.h) is held to, byte for byte and report for
// report.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/progress_sink.h"
#include "platform/file.h"
#include "support/output_stream.h"

namespace quorlix::test {

// Appends one entry per source at the end of output, then (unless a cancel was requested) the
// directory, its length and the signature; returns the number of entries written. names[i] is the
// name of sources[i]; a missing or empty name means the source's file name. Throws
// std::system_error when a source cannot be read or output cannot be written, quorlix::Error
// for a name the directory cannot hold; what was appended stays.
std::size_t WritePackage(std::span<const std::string> sources, std::span<const std::string> names,
                         File& output, ProgressSink& sink);

// Appends the entry of sourcePath under name (empty: the file name) at the end of output and
// adds its line "name|record length" (without CR LF) to directory.
void AddPackageEntry(const std::string& sourcePath, const std::string& name, File& output,
                     std::vector<std::string>& directory, ProgressSink& sink);

// Appends the size of sourcePath and its zlib stream at the end of output; returns the number of
// bytes output grew by (the record length).
std::uint64_t AppendCompressedFile(const std::string& sourcePath, File& output, ProgressSink& sink);

// Copies count bytes from the source's position to target (count 0: the whole source from
// position 0) in chunks of at most 61,440 bytes, stopping before a chunk when a cancel was
// requested; returns the count asked for. A source that ends early throws std::system_error.
std::uint64_t CopyToStream(File& source, OutputStream& target, std::uint64_t count,
                           ProgressSink& sink);

}  // namespace quorlix::test
