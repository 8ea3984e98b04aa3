#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorlix {

// The option field each line of an option file holds, by the file's name (any letter case)
// and its lines (the first line of wateroptions.dll says which layout follows). Empty for a line
// that holds no field (a fixed value, the document's extension) or a file of unknown layout.
std::vector<std::string> OptionLineFields(std::string_view fileName,
                                          const std::vector<std::string>& lines);

}  // namespace quorlix
