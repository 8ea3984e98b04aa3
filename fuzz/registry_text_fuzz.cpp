// Feeds arbitrary bytes to the defaults file reader: whatever it accepts writes back to text
// that reads as the same keys and values, and writes again byte for byte the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/error.h"
#include "platform/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    quorlix::RegistryFile file;
    try {
        file = quorlix::ParseRegistryText(text);
    } catch (const quorlix::Error&) {
        return 0;
    }
    const std::string written = quorlix::RegistryText(file);
    const quorlix::RegistryFile again = quorlix::ParseRegistryText(written);
    if (!(again == file) || quorlix::RegistryText(again) != written) {
        std::abort();
    }
    return 0;
}
