#pragma once

#include <string>

namespace quorlix {

// A new random GUID in registry form, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper case;
// empty when the system gives no random bytes.
std::string NewGuidText();

}  // namespace quorlix
