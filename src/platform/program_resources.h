#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quorlix {

namespace detail {
// One resource embedded in the program at build time.
struct EmbeddedResource {
    const char* type;
    const char* name;
    const unsigned char* data;
    std::size_t size;
};
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;
}  // namespace detail

// The bytes of the program's own resource of that type and name (compared without regard to
// case), or nothing when the program has no such resource.
std::optional<std::span<const std::uint8_t>> FindProgramResource(std::string_view type,
                                                                 std::string_view name);

}  // namespace quorlix
