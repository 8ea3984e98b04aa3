#include "options/defaults_action.h"

#include <QString>
#include <system_error>

#include "platform/error.h"
#include "platform/settings_store.h"
#include "widgets/dialogs.h"

namespace quorlix {

void RunDefaultsAction(QWidget* page, Dialogs& dialogs,
                       const std::function<void(SettingsStore&)>& action) {
    SettingsStore store;
    try {
        action(store);
    } catch (const Error& e) {
        dialogs.ShowError(page, QString::fromStdString(e.what()));
    } catch (const std::system_error&) {
        // The key can be neither opened nor created: the action does nothing and says nothing.
    }
    if (const auto notice = store.TakeNotice()) {
        dialogs.ShowMessage(page, QString::fromStdString(*notice));
    }
}

}  // namespace quorlix
