#pragma once

#include <string>
#include <vector>

#include "conversion/option_set.h"
#include "platform/settings_store.h"

namespace quorlix {

// How a load treats a General option or Watermark value that exists but is not a string value.
enum class LoadMode {
    Button,  // the "Load from default" button: stop with SettingsTypeError
    Start,   // the loads at program start and quorlix-cli: leave that field and go on
};

// What a load did beyond the option set.
struct LoadReport {
    bool opened = false;                // false: the key could not be read, nothing changed
    std::vector<std::string> skipped;   // LoadMode::Start: values left alone for their type
    std::vector<std::string> repaired;  // Logo setup: values replaced by their fallback text
};

// What the Logo setup page's controls show after its load that the option set cannot tell.
struct LogoLoadReport : LoadReport {
    // What the load did to the second image's "Auto close after" and "Not close until mouse
    // click" buttons. secondclick is 1 whenever "Auto close after" ends unchecked, which is how
    // the page and the conversion read a group with neither checked.
    enum class SecondClick {
        Unchanged,
        CheckAutoClose,     // "Auto close after" checked (and so "Not close ..." unchecked)
        UncheckAutoClose,   // "Auto close after" unchecked, "Not close ..." as it was
        UncheckMouseClick,  // "Not close ..." unchecked, "Auto close after" as it was
    };
    SecondClick secondClick = SecondClick::Unchanged;
    // The first image's path edit was left empty and shows the prompt; firstimage then holds the
    // prompt text.
    bool firstImagePrompt = false;
};

// The prompt that the two image path edits show when they name no image file.
inline constexpr const char* kImagePrompt = "Please click right button to select an image file->";

// "Save as default" of the three pages: every value of the page in its table order, written as
// one replacement of the defaults file. Throws SettingsWriteError ("Failed to set data for
// '%s'") for the value that could not be written; the values before it stay written.
void SaveGeneralDefaults(SettingsStore& store, const OptionSet& options);
void SaveLogoDefaults(SettingsStore& store, const OptionSet& options);
void SaveWatermarkDefaults(SettingsStore& store, const OptionSet& options);

// "Load from default" of the three pages: opens the key (creating it when missing) and applies
// each stored value to the option set by its page's rules, in its page's load order. With
// LoadMode::Button, a General option or Watermark value of another type throws
// SettingsTypeError ("Invalid data type for '%s'") after the values before it were applied.
// The Logo setup load writes a fallback text over such a value in either mode.
LoadReport LoadGeneralDefaults(SettingsStore& store, OptionSet& options, LoadMode mode);
LogoLoadReport LoadLogoDefaults(SettingsStore& store, OptionSet& options);
LoadReport LoadWatermarkDefaults(SettingsStore& store, OptionSet& options, LoadMode mode);

}  // namespace quorlix
