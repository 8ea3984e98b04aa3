#pragma once

#include "common/byte_sink.h"
#include "common/compound_file_writer.h"

namespace quorlix {

// Writes the container stream of an object kept in this compound file: the 12-byte header with
// the size N, then the compound file itself, streamed. Throws quorlix::Error when N does not
// fit in 32 bits.
void WriteContainerStream(const CompoundFileWriter& storage, ByteSink& sink);

}  // namespace quorlix
