#include "conversion/page_loading.h"

#include <system_error>

namespace quorlix {

LoadReport LoadByRules(SettingsStore& store, OptionSet& options, LoadMode mode,
                       std::span<const LoadRule> rules) {
    LoadReport report;
    try {
        store.Open();
    } catch (const std::system_error&) {
        return report;
    }
    report.opened = true;
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
