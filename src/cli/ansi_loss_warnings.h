#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "conversion/option_set.h"

namespace quorlix {

// A warning on err for each text of a run that loses characters to the ANSI code page the
// output is written in: each document's name, then the option texts (title, web addresses,
// macro message, watermark text, watermark font name, embedded fonts' names), naming the field.
void WarnAboutAnsiLosses(const OptionSet& options, const std::vector<std::string>& documents,
                         std::ostream& err);

}  // namespace quorlix
