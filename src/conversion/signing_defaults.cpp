#include "conversion/signing_defaults.h"

namespace quorlix {

namespace {

std::string TextOr(const SettingsStore& store, const char* name, const std::string& fallback) {
    if (!store.ValueExists(name)) {
        return fallback;
    }
    try {
        return store.ReadString(name);
    } catch (const SettingsTypeError&) {
        return fallback;
    }
}

}  // namespace

SigningDefaults ReadSigningDefaults(const SettingsStore& store) {
    SigningDefaults defaults;
    defaults.sign = TextOr(store, kSignOutputsValue, "0") == "1";
    defaults.certificateFile = TextOr(store, kSignCertificateValue, "");
    defaults.timestampUrl = TextOr(store, kSignTimestampValue, "");
    return defaults;
}

void SaveSigningDefaults(SettingsStore& store, const SigningDefaults& defaults) {
    store.WriteStrings({{kSignOutputsValue, defaults.sign ? "1" : "0"},
                        {kSignCertificateValue, defaults.certificateFile},
                        {kSignTimestampValue, defaults.timestampUrl}});
}

}  // namespace quorlix
