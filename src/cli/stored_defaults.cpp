#include "cli/stored_defaults.h"

#include <system_error>

#include "cli/cli.h"
#include "cli/cli_help.h"
#include "cli/commands.h"
#include "conversion/page_defaults.h"
#include "platform/settings_file.h"

namespace quorlix {

namespace {

void ReportSkipped(const LoadReport& report, std::ostream& err) {
    for (const std::string& name : report.skipped) {
        err << kProgramName << ": the stored default '" << name
            << "' is not a text value; its option keeps its initial value\n";
    }
}

}  // namespace

void LoadStoredDefaults(OptionSet& options, std::ostream& err) {
    SettingsStore store;
    try {
        store.Open();
    } catch (const std::system_error& e) {
        throw Error("the defaults file " + store.path() + " cannot be read (" + e.code().message() +
                    ")");
    }
    LoadLogoDefaults(store, options);
    ReportSkipped(LoadWatermarkDefaults(store, options, LoadMode::Start), err);
    ReportSkipped(LoadGeneralDefaults(store, options, LoadMode::Start), err);
    if (const auto notice = store.TakeNotice()) {
        err << kProgramName << ": " << *notice << "\n";
    }
}

int RunDefaultsCommand(const ParsedArguments&, std::ostream& out, std::ostream&) {
    const std::string path = DefaultSettingsPath();
    SettingsFileState state;
    try {
        state = ReadSettingsFile(path);
    } catch (const std::system_error& e) {
        throw Error("the defaults file " + path + " cannot be read (" + e.code().message() + ")");
    }
    if (state.kind == SettingsFileState::Kind::Damaged) {
        throw Error("the defaults file " + path + " cannot be read (" + state.damage + ")");
    }
    if (const RegistryKey* key = FindDefaultsKey(state.file)) {
        for (const RegistryValue& value : key->values) {
            out << RegistryValueLine(value) << '\n';
        }
    }
    return out ? kExitSuccess : kExitFailure;
}

}  // namespace quorlix
