#include "app/help_actions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

#include "app/program_identity.h"
#include "platform/program_data.h"
#include "widgets/dialogs.h"

namespace quorlix {

QString HelpFilePath() {
    const std::string path =
        ProgramDataFile(QCoreApplication::applicationDirPath().toStdString(), "Help.chm");
    return QFileInfo(QString::fromStdString(path)).isFile() ? QString::fromStdString(path)
                                                            : QString();
}

void OpenHelpFile(Dialogs& dialogs) {
    const QString path = HelpFilePath();
    if (!path.isEmpty()) {
        dialogs.OpenUrl(QUrl::fromLocalFile(path));
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
