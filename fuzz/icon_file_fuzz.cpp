// Feeds arbitrary bytes to the icon file check: whatever it accepts has every image in bounds.
#include <cstdlib>
#include <vector>

#include "common/byte_order.h"
#include "package/icon_replacement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so a read past it is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    if (!quorlix::ValidateIconFile(bytes.data(), bytes.size())) {
        return 0;
    }
    volatile unsigned sum = 0;
    const std::uint16_t count = quorlix::GetLE16(bytes.data() + 4);
    for (std::size_t j = 0; j < count; ++j) {
        const std::uint8_t* entry = bytes.data() + 6 + 16 * j;
        const std::uint64_t offset = quorlix::GetLE32(entry + 12);
        const std::uint64_t length = quorlix::GetLE32(entry + 8);
        if (offset + length > size) {
            std::abort();
        }
        for (std::uint64_t i = 0; i < length; ++i) {
            sum = sum + bytes[offset + i];
        }
    }
    return 0;
}
