#pragma once

#include "common/byte_source.h"
#include "common/payload_reader.h"

namespace quorlix {

// The bytes after an output's end marker, which the player never reads: usually none; a code
// signature when the stub's certificate table entry covers exactly them (after up to 7 bytes of
// alignment) and they start with a signed-data certificate header.
struct TrailingBytes {
    ByteRange range;
    bool codeSignature = false;
};

TrailingBytes TrailingBytesOf(ByteSource& source, const PayloadLayout& layout);

// False for a file that is no output of this program at all: it has no end marker and does not
// end in the marker's byte, as an output cut short would.
bool MayBeAnOutput(ByteSource& source);

}  // namespace quorlix
