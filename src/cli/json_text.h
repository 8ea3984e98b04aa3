#pragma once

#include <string>
#include <string_view>

namespace quorlix {

// A text as a JSON string literal, quotes included: '"', '\' and control characters escaped,
// each byte of malformed UTF-8 replaced by U+FFFD so that the result is always valid JSON.
std::string JsonQuoted(std::string_view text);

}  // namespace quorlix
