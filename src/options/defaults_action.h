#pragma once

#include <functional>

class QWidget;

namespace quorlix {

class Dialogs;
class SettingsStore;

// Runs one save or load of a page's defaults on the per-user store: an error of the store goes
// to an error box, a store that cannot be opened at all does nothing, and a notice about a
// damaged defaults file that was moved aside is shown once.
void RunDefaultsAction(QWidget* page, Dialogs& dialogs,
                       const std::function<void(SettingsStore&)>& action);

}  // namespace quorlix
