#pragma once

#include <QString>

namespace quorlix {

class Dialogs;

// "Help.chm" beside the program's executable, else in the installed program's data folder;
// empty when neither holds it (nothing is opened then).
QString HelpFilePath();

// The Help menu's actions, handed to the desktop's handlers; none reports a failure.
void OpenHelpFile(Dialogs& dialogs);
void OpenWebSite(Dialogs& dialogs);
void OpenSupportMail(Dialogs& dialogs);

}  // namespace quorlix
