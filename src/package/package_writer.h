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

#include "package/progress_sink.h"
#include "platform/file.h"

namespace quorlix {

// The checks and steps of the package writer (package/parallel_package_writer.h). A source whose
// record could exceed 32 bits in its size field or a signed 32-bit record length throws
// std::system_error (EFBIG); a name that is empty or holds "|", CR or LF throws quorlix::Error.
void CheckEntrySize(std::uint64_t size, const std::string& sourcePath);
void CheckEntryName(const std::string& name);
// Reports the entry of sourcePath done, with its size in KiB looked up anew.
void ReportEntryDone(ProgressSink& sink, const std::string& sourcePath);
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
