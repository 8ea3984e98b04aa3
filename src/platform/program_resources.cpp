#include "platform/program_resources.h"

#include <algorithm>
#include <cctype>

namespace quorlix {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

}  // namespace

std::optional<std::span<const std::uint8_t>> FindProgramResource(std::string_view type,
                                                                 std::string_view name) {
    for (std::size_t i = 0; i < detail::kEmbeddedResourceCount; ++i) {
        const detail::EmbeddedResource& r = detail::kEmbeddedResources[i];
        if (SameIgnoringCase(type, r.type) && SameIgnoringCase(name, r.name)) {
            return std::span<const std::uint8_t>(r.data, r.size);
        }
    }
    return std::nullopt;
}

}  // namespace quorlix
