// Feeds arbitrary bytes to the player's reader of an output executable: layout, every entry
// inflated, the document copied; damage must end in PayloadError, never a read outside the input.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "common/payload_error.h"
#include "common/payload_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    quorlix::MemoryByteSource source(bytes);
    try {
        const quorlix::PayloadReader reader(source);
        std::uint64_t total = 0;
        const auto count = [&](std::span<const std::uint8_t> chunk) { total += chunk.size(); };
        reader.CopyDocument(quorlix::PayloadReader::DocumentForm::Unscrambled, count);
        for (std::size_t i = 0; i < reader.layout().entries.size(); ++i) {
            try {
                reader.InflateEntry(i, count);
            } catch (const quorlix::PayloadError&) {
            }
        }
    } catch (const quorlix::PayloadError&) {
    }
    return 0;
}
