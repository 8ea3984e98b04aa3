#include "conversion/page_loading.h"

#include <system_error>

namespace quorlix {

bool OpenForLoad(SettingsStore& store) {
    try {
        store.Open();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

LoadReport LoadByRules(SettingsStore& store, OptionSet& options, LoadMode mode,
                       std::span<const LoadRule> rules) {
    LoadReport report;
    report.opened = OpenForLoad(store);
    if (!report.opened) {
        return report;
    }
    for (const LoadRule& rule : rules) {
        if (!store.ValueExists(rule.name)) {
            continue;
        }
        std::string text;
        try {
            text = store.ReadString(rule.name);
        } catch (const SettingsTypeError&) {
            if (mode == LoadMode::Button) {
                throw;
            }
            report.skipped.emplace_back(rule.name);
            continue;
        }
        rule.apply(options, text);
    }
    return report;
}

}  // namespace quorlix
