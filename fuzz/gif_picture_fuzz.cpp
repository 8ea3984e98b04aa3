// Feeds arbitrary bytes to the GIF decoder: it either decodes them or throws quorlix::Error.
#include "imaging/decoders.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzPictureDecoder(data, size, [](const std::vector<std::uint8_t>& bytes) {
        CheckWhole(quorlix::DecodeGif(bytes, kFuzzMaxPixels));
        // Shown in a small box: reduced while it is decoded.
        CheckWhole(quorlix::DecodeGif(bytes, kFuzzMaxPixels, quorlix::PixelSize{5, 3}));
    });
}
