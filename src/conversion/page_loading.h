#pragma once

#include <span>
#include <string>

#include "conversion/option_set.h"
#include "conversion/page_defaults.h"
#include "platform/settings_store.h"

namespace quorlix {

// One stored value of a page and how its text is applied to the option set.
struct LoadRule {
    const char* name;
    void (*apply)(OptionSet& options, const std::string& text);
};

// Opens the key for a load: false when it can be neither read nor created.
bool OpenForLoad(SettingsStore& store);

// Opens the key and applies, in order, each rule whose value exists; a key that cannot be read
// leaves everything unchanged. A value of another type throws SettingsTypeError in
// LoadMode::Button and is skipped (and listed) in LoadMode::Start.
LoadReport LoadByRules(SettingsStore& store, OptionSet& options, LoadMode mode,
                       std::span<const LoadRule> rules);

}  // namespace quorlix
