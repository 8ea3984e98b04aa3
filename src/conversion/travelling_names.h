#pragma once

#include <string>
#include <vector>

#include "conversion/option_set.h"

namespace quorlix {

// The extension a picture's package entry carries after prefix ("option\1"): its own when the
// player takes prefix + extension in its ANSI bytes; otherwise only its ASCII letters and digits,
// after a dot when any remain (".p:ng" gives ".png", "." and ". " give nothing).
std::string TravellingExtension(const std::string& prefix, const std::string& extension);

// The file names the fonts' files are packed under, below "myfont\", in staging order (one or two
// per font entry). A file keeps its own name when the player takes "myfont\" + it; otherwise it
// gets "font" + its position among the fonts' files (from 1) + its extension reduced as above,
// with "_" added before the extension until no other font file has that name (ASCII case
// ignored): 字体.ttf as the first font file gives font1.ttf.
std::vector<std::string> FontPackNames(const OptionSet& options);

}  // namespace quorlix
