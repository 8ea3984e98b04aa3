#pragma once

#include <string>

#include "platform/settings_store.h"

namespace quorlix {

// How the window signs its outputs, kept with the other defaults; the password never is.
struct SigningDefaults {
    bool sign = false;
    std::string certificateFile;  // a PKCS#12 file
    std::string timestampUrl;     // empty for no timestamp
};

// The values they are kept under.
inline constexpr const char* kSignOutputsValue = "signoutputs";
inline constexpr const char* kSignCertificateValue = "signcertfile";
inline constexpr const char* kSignTimestampValue = "signtimestamp";

// Reads them from the opened store; a value that is missing or not a text value keeps its
// initial setting ("signoutputs" signs only when it is "1").
SigningDefaults ReadSigningDefaults(const SettingsStore& store);

// Writes the three values as one replacement of the defaults file; throws SettingsWriteError.
void SaveSigningDefaults(SettingsStore& store, const SigningDefaults& defaults);

}  // namespace quorlix
