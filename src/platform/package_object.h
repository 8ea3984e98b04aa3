#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/compound_file_writer.h"
#include "platform/stream_content.h"

namespace quorlix {

// The largest file that still leaves its stream within a compound file's 2 GiB: 2 GiB less
// 64 KiB.
inline constexpr std::uint64_t kMaxEmbeddedFileSize = 0x7FFF0000;

// "The document is too large to embed", naming the document, its size and the largest that fits.
std::string TooLargeToEmbedMessage(const std::string& document, std::uint64_t size);

// The names an embedded file goes by inside its Package object, as UTF-8 text.
struct PackageNames {
    std::string label;
    std::string sourcePath;
    std::string temporaryPath;
};

// Windows paths of a package are at most this many characters (the limit less its zero).
inline constexpr std::size_t kMaxPackagePathLength = 259;
inline constexpr char kPackageFolder[] = "C:\\";

// The names for a file of this name (UTF-8, without folder): the label is the name with
// \ / : * ? " < > | and control characters turned into '_' ("document" when empty), both paths
// are "C:\" and the label. A name too long for a path of 259 characters (in UTF-16 units and in
// ANSI bytes) is shortened before its extension, which is kept.
PackageNames PackageNamesFor(const std::string& fileName);

// The 76 bytes of \x01CompObj that Windows' packager writes.
std::vector<std::uint8_t> PackageCompObjBytes();

// The \x01Ole10Native stream: header with the ANSI label and paths, the file's bytes, and the
// Unicode tail with the real names. Throws quorlix::Error when the file is too large to embed.
StreamContent Ole10NativeContent(const PackageNames& names, StreamContent data);

// Makes the writer's root a Package object: its class id, \x01CompObj and \x01Ole10Native.
void AddPackageObject(CompoundFileWriter& writer, const PackageNames& names, StreamContent data);

}  // namespace quorlix
