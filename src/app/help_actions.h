#pragma once

#include <QString>

namespace quorlix {

class Dialogs;

// The MIME type of Help.chm.
inline constexpr char kHelpFileType[] = "application/vnd.ms-htmlhelp";

// "Help.chm" beside the executable in executableFolder, else in the installed program's data
// folder; empty when neither holds it.
QString HelpFilePath(const QString& executableFolder);

// The Help menu's actions, handed to the desktop's handlers; none reports a failure.
// Help opens Help.chm when the desktop has an application for it, else the HTML manual, else
// Help.chm all the same; nothing when neither is there.
void OpenHelpFile(Dialogs& dialogs, const QString& executableFolder);
void OpenWebSite(Dialogs& dialogs);
void OpenSupportMail(Dialogs& dialogs);

}  // namespace quorlix
