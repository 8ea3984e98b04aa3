// Feeds arbitrary bytes to the icon reader: it either decodes every image or throws quorlix::Error.
#include "imaging/image_loading.h"
#include "picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzPictureDecoder(data, size, [](const std::vector<std::uint8_t>& bytes) {
        for (const quorlix::RgbaImage& image : quorlix::LoadIconImages(bytes, kFuzzMaxPixels)) {
            CheckWhole(image);
        }
    });
}
