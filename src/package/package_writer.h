#pragma once

// The package appended to an output executable, read from its end:
//
//   +-----------+-----+-----------+-------------------------+-------+-----------+
//   | entry 1   | ... | entry n   | directory (L bytes)     | L     | 7A 73 66  |
//   | u32 size  |     |           | "name|record length"    | (u32) | 01        |
//   | + zlib    |     |           | CR LF per entry, ANSI   |       |           |
//   +-----------+-----+-----------+-------------------------+-------+-----------+
//
// An entry's record length is 4 + its zlib stream's length.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "package/output_stream.h"
#include "package/progress_sink.h"
#include "platform/file.h"

namespace quorlix {

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

// The checks and steps both package writers share. A source whose record could exceed 32 bits
// in its size field or a signed 32-bit record length throws std::system_error (EFBIG); a name
// that is empty or holds "|", CR or LF throws quorlix::Error.
void CheckEntrySize(std::uint64_t size, const std::string& sourcePath);
void CheckEntryName(const std::string& name);
// Adds the source's size in KiB, looked up anew, to the sink's progress total.
void RaiseProgressTotal(ProgressSink& sink, const std::string& sourcePath);
// Writes the directory lines with CR LF in ANSI, their length and the signature.
void WritePackageDirectory(const std::vector<std::string>& directory, File& output);

// The name under which a source is stored when no name is given: the text after the last '/',
// '\' or ':' of its path.
std::string EntryNameOf(const std::string& sourcePath);

// A size in KiB, rounded to the nearest whole number with ties to even; 0 for a negative size
// (a missing file counts -1).
std::uint32_t KibRoundedHalfEven(std::int32_t size);

// The text before / after the first separator; empty when the separator does not occur.
std::string TextBefore(const std::string& text, const std::string& separator);
std::string TextAfter(const std::string& text, const std::string& separator);

}  // namespace quorlix
