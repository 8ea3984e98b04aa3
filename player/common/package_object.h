#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/compound_file_writer.h"
#include "common/stream_content.h"

namespace quorlix {

// The largest file that still leaves its stream within a compound file's 2 GiB: 2 GiB less
// 64 KiB.
inline constexpr std::uint64_t kMaxEmbeddedFileSize = 0x7FFF0000;

// The names an embedded file goes by inside its Package object, as they are stored: ANSI bytes
// (zero-terminated) in the stream's header, UTF-16 in its tail.
struct PackageObjectNames {
    std::string ansiLabel;
    std::string ansiSourcePath;
    std::string ansiTemporaryPath;
    std::u16string label;
    std::u16string sourcePath;
    std::u16string temporaryPath;
};

// The 76 bytes of \x01CompObj that Windows' packager writes.
std::vector<std::uint8_t> PackageCompObjBytes();

// The \x01Ole10Native stream: header with the ANSI label and paths, the file's bytes, and the
// Unicode tail with the real names. Throws quorlix::Error when the file is too large to embed.
StreamContent Ole10NativeContent(const PackageObjectNames& names, StreamContent data);

// Makes the writer's root a Package object: its class id, \x01CompObj and \x01Ole10Native.
void AddPackageObject(CompoundFileWriter& writer, const PackageObjectNames& names,
                      StreamContent data);

}  // namespace quorlix
