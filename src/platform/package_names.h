#pragma once

#include <cstddef>
#include <string>

#include "common/package_object.h"

namespace quorlix {

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

// The names as the Package object stores them: in the ANSI code page and in UTF-16.
PackageObjectNames EncodePackageNames(const PackageNames& names);

}  // namespace quorlix
