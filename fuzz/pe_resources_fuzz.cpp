// Feeds arbitrary bytes to the PE resource reader and writer: a file is either refused with
// PeFormatError or read whole, and a rewrite of what was read reads back as the same tree.
#include <cstdlib>
#include <vector>

#include "package/pe_format_error.h"
#include "package/pe_resource_reader.h"
#include "package/pe_resource_writer.h"

namespace {

using namespace quorlix;

bool ReadTree(const PeResourceReader& reader, ResourceTree& tree) {
    for (const ResourceEntry& e : reader.entries()) {
        try {
            const std::span<const std::uint8_t> data = reader.Data(e);
            tree[e.type][e.name][e.language].bytes.assign(data.begin(), data.end());
        } catch (const PeFormatError&) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ResourceTree tree;
    std::vector<std::uint8_t> rewritten;
    try {
        const PeResourceReader reader(std::vector<std::uint8_t>(data, data + size));
        reader.Find(ResourceName::Id(14), ResourceName::Named("MAINICON"));
        if (!ReadTree(reader, tree)) {
            return 0;
        }
        rewritten = RewriteResources(reader.file(), tree);
    } catch (const PeFormatError&) {
        return 0;
    }
    const PeResourceReader again(std::move(rewritten));  // must not throw
    ResourceTree back;
    if (!ReadTree(again, back) || back.size() != tree.size()) {
        std::abort();
    }
    for (const auto& [type, names] : tree) {
        for (const auto& [name, languages] : names) {
            for (const auto& [language, blob] : languages) {
                if (back[type][name][language].bytes != blob.bytes) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
