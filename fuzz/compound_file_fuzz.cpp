// Feeds arbitrary bytes to the compound file reader and the document extraction built on it:
// damage must end in CompoundFileError, never a read outside the input or a loop.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/compound_file_reader.h"
#include "common/embedded_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    try {
        const quorlix::CompoundFileReader reader(bytes);
        for (quorlix::CompoundFileReader::EntryId id = 0; id < reader.entries().size(); ++id) {
            if (reader.entry(id).type == quorlix::cfb::kTypeStream) {
                reader.ReadStream(id);
                // A range from the middle, as inspect and extract read them.
                const std::uint64_t size = reader.entry(id).size;
                reader.ReadStreamRange(id, size / 3, std::min<std::uint64_t>(size - size / 3, 700));
            } else if (reader.entry(id).type != quorlix::cfb::kTypeUnused) {
                reader.Children(id);
            }
        }
    } catch (const quorlix::CompoundFileError&) {
    }
    try {
        quorlix::ExtractDocumentFromStorage(bytes);
    } catch (const quorlix::CompoundFileError&) {
    }
    return 0;
}
