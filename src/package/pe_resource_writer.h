#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "package/resource_tree.h"

namespace quorlix {

// The executable's bytes with its resource section rebuilt from the tree, headers and checksum
// brought up to date. Every byte outside the resource section is kept. The resource section
// stays at its place; what follows it in the file (sections, overlay) moves with its new size,
// and the sections after it in memory move too when the new resources outgrow the room before
// them, which is allowed only for discardable sections such as base relocations. Throws
// PeFormatError when the file has no resource section or a layout that cannot be rewritten.
std::vector<std::uint8_t> RewriteResources(std::span<const std::uint8_t> file,
                                           const ResourceTree& tree);

}  // namespace quorlix
