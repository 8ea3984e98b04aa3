#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorlix {

// The number of single-letter insertions, deletions, replacements and swaps of neighbours that
// turn one text into the other.
std::size_t EditDistance(std::string_view from, std::string_view to);

// The names nearest to a mistyped one, in the list's order: those at the smallest edit distance
// when it is small for the name's length (at most a third of it, at least 2); at most three.
std::vector<std::string> NearestNames(std::string_view typed,
                                      const std::vector<std::string>& names);

}  // namespace quorlix
