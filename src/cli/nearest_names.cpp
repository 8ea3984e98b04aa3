#include "cli/nearest_names.h"

#include <algorithm>
#include <cctype>

namespace quorlix {

namespace {

constexpr std::size_t kMostSuggestions = 3;

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

}  // namespace

std::size_t EditDistance(std::string_view from, std::string_view to) {
    // Three rows of the distance table: two rows back (for swaps), the last one and this one.
    std::vector<std::size_t> before(to.size() + 1), last(to.size() + 1), row(to.size() + 1);
    for (std::size_t j = 0; j <= to.size(); ++j) {
        last[j] = j;
    }
    for (std::size_t i = 1; i <= from.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t replace = Lower(from[i - 1]) == Lower(to[j - 1]) ? 0 : 1;
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + replace});
            if (i > 1 && j > 1 && Lower(from[i - 1]) == Lower(to[j - 2]) &&
                Lower(from[i - 2]) == Lower(to[j - 1])) {
                row[j] = std::min(row[j], before[j - 2] + 1);
            }
        }
        std::swap(before, last);
        std::swap(last, row);
    }
    return last[to.size()];
}

std::vector<std::string> NearestNames(std::string_view typed,
                                      const std::vector<std::string>& names) {
    const std::size_t limit = std::max<std::size_t>(2, typed.size() / 3);
    std::size_t best = limit + 1;
    std::vector<std::string> nearest;
    for (const std::string& name : names) {
        const std::size_t distance = EditDistance(typed, name);
        if (distance < best) {
            best = distance;
            nearest.clear();
        }
        if (distance == best && nearest.size() < kMostSuggestions) {
            nearest.push_back(name);
        }
    }
    return nearest;
}

}  // namespace quorlix
