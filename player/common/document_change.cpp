#include "common/document_change.h"

#include <algorithm>
#include <vector>

namespace quorlix {

namespace {

// Ends the copy of the original at the first difference.
struct FoundDifference {};

}  // namespace

bool DocumentDiffers(const SectionDocument& original, ByteSource& current) {
    if (original.place().size != current.Size()) {
        return true;
    }
    std::vector<std::uint8_t> buffer;
    std::uint64_t position = 0;
    try {
        original.CopyData([&](std::span<const std::uint8_t> chunk) {
            buffer.resize(chunk.size());
            current.ReadAt(position, buffer.data(), chunk.size());
            if (!std::equal(chunk.begin(), chunk.end(), buffer.begin())) {
                throw FoundDifference{};
            }
            position += chunk.size();
        });
    } catch (const FoundDifference&) {
        return true;
    }
    return false;
}

}  // namespace quorlix
