// Feeds arbitrary bytes to what quorlix-cli inspect reads of an output: the layout, every entry,
// the option files and the document found through the scrambled document section; damage must
// end in an error, never a read outside the input or a loop.
#include <cstdint>
#include <exception>
#include <vector>

#include "cli/payload_report.h"
#include "common/byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    quorlix::MemoryByteSource source(bytes);
    try {
        quorlix::InspectPayload(source);
    } catch (const std::exception&) {
    }
    return 0;
}
