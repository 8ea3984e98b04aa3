#pragma once

#include <string>

#include "common/payload_reader.h"

namespace quorlix {

// What the player found in its file, for showing to the user: the document size, then one line
// per package file with its size (at most 40, then how many more). Names stay in their ANSI form.
std::string DescribePayload(const PayloadLayout& layout);

}  // namespace quorlix
