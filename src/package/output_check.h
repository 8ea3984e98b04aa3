#pragma once

#include <string>

namespace quorlix {

// Reads a finished output executable back from its end as the player does (end marker,
// trailers, package directory, record sizes, entry names) without reading the document section.
// Throws PayloadError, or quorlix::Error naming an entry name the player would refuse.
void CheckOutputForPlayer(const std::string& outputPath);

}  // namespace quorlix
