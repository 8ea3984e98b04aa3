#pragma once

#include <ostream>

#include "conversion/option_set.h"

namespace quorlix {

// Loads the stored defaults of the Logo setup, Watermark and General option pages into the
// option set, in that order and as the window does at start (a value that is not a string
// value is left out, and named on err). A damaged defaults file is kept aside as the window
// does, with its notice on err. Throws quorlix::Error when the defaults cannot be read.
void LoadStoredDefaults(OptionSet& options, std::ostream& err);

}  // namespace quorlix
