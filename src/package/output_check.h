#pragma once

#include <string>

#include "common/byte_source.h"

namespace quorlix {

// Reads a finished output executable back from its end as the player does (end marker,
// trailers, package directory, record sizes, entry names) without reading the document section.
// Throws PayloadError, or quorlix::Error naming an entry name the player would refuse.
void CheckOutputForPlayer(const std::string& outputPath);

// The same for an output read through a byte source; outputPath names it in errors.
void CheckOutputForPlayer(ByteSource& source, const std::string& outputPath);

// Reads a signed output back: its code signature must hold (SignatureError otherwise), and the
// player must find its payload both in the part the signature covers, which is what the player
// reads of a signed output, and in the whole file, which is what inspect and extract read.
void CheckSignedOutputForPlayer(const std::string& outputPath);

}  // namespace quorlix
