// Feeds arbitrary bytes to the BMP decoder: it either decodes them or throws quorlix::Error.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/decoders.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so a read past it is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    try {
        // A smaller pixel limit than the program's keeps each run quick.
        const quorlix::RgbaImage image = quorlix::DecodeBmp(bytes, 1u << 22);
        if (image.pixels.size() != std::size_t(image.width) * std::size_t(image.height) * 4) {
            std::abort();
        }
    } catch (const quorlix::Error&) {
    }
    return 0;
}
