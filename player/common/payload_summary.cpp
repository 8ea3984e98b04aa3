#include "common/payload_summary.h"

namespace quorlix {

namespace {

constexpr std::size_t kMaxListedEntries = 40;

}  // namespace

std::string DescribePayload(const PayloadLayout& layout) {
    std::string text = "Document: " + std::to_string(layout.document.size) + " bytes\n";
    text += "Package files: " + std::to_string(layout.entries.size()) + "\n";
    for (std::size_t i = 0; i < layout.entries.size() && i < kMaxListedEntries; ++i) {
        const PackageEntry& entry = layout.entries[i];
        text += entry.name + " (" + std::to_string(entry.size) + " bytes)\n";
    }
    if (layout.entries.size() > kMaxListedEntries) {
        text += "... and " + std::to_string(layout.entries.size() - kMaxListedEntries) + " more\n";
    }
    return text;
}

}  // namespace quorlix
