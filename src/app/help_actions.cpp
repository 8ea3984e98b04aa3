#include "app/help_actions.h"

#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

#include "app/program_identity.h"
#include "platform/program_data.h"
#include "widgets/dialogs.h"

namespace quorlix {

QString HelpFilePath(const QString& executableFolder) {
    const std::string path = ProgramDataFile(executableFolder.toStdString(), "Help.chm");
    return QFileInfo(QString::fromStdString(path)).isFile() ? QString::fromStdString(path)
                                                            : QString();
}

void OpenHelpFile(Dialogs& dialogs, const QString& executableFolder) {
    const QString helpFile = HelpFilePath(executableFolder);
    const QString manual = QString::fromStdString(HtmlManualIndex(executableFolder.toStdString()));
    const bool helpFileOpens =
        !helpFile.isEmpty() && dialogs.HasApplicationFor(QString::fromLatin1(kHelpFileType));
    const QString chosen = helpFileOpens || manual.isEmpty() ? helpFile : manual;
    if (!chosen.isEmpty()) {
        dialogs.OpenUrl(QUrl::fromLocalFile(chosen));
    }
}

void OpenWebSite(Dialogs& dialogs) {
    dialogs.OpenUrl(QUrl(QString::fromUtf8(kMakerWebAddress)));
}

void OpenSupportMail(Dialogs& dialogs) {
    QUrl mail(QStringLiteral("mailto:") + QString::fromUtf8(kSupportAddress));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QString::fromUtf8(kSupportSubject));
    mail.setQuery(query);
    dialogs.OpenUrl(mail);
}

}  // namespace quorlix
