#pragma once

// The chunked copy of the package format read plainly: the reference the program's writers are
// held to.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "package/progress_sink.h"
#include "platform/file.h"

namespace quorlix::test {

// Reads count bytes from the source's position (count 0: the whole source from position 0)
// through one buffer of min(count, 61,440) bytes and hands each chunk to use; before each chunk
// it stops when a cancel was requested. Returns the count asked for, also after a stop. A source
// that ends early throws std::system_error.
std::uint64_t CopyInChunks(File& source, std::uint64_t count, ProgressSink& sink,
                           const std::function<void(std::uint8_t* chunk, std::size_t size)>& use);

}  // namespace quorlix::test
