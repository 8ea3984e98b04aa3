// Feeds arbitrary bytes to the PNG decoder: it either decodes them or throws quorlix::Error.
#include "imaging/decoders.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzPictureDecoder(data, size, [](const std::vector<std::uint8_t>& bytes) {
        CheckWhole(quorlix::DecodePng(bytes, kFuzzMaxPixels));
        // Shown in a small box: reduced while it is decoded.
        CheckWhole(quorlix::DecodePng(bytes, kFuzzMaxPixels, quorlix::PixelSize{5, 3}));
    });
}
