#include "common/scramble.h"

namespace quorlix {

void ScrambleBuffer(std::uint8_t* buffer, const char* key, std::size_t keyLength,
                    std::size_t count) {
    std::size_t k = 0;
    for (std::size_t i = 0; i < count; ++i) {
        buffer[i] ^= static_cast<std::uint8_t>(key[k] & 0x0F);
        if (++k == keyLength) {
            k = 0;
        }
    }
}

}  // namespace quorlix
