#include "app/help_actions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

#include "app/dialogs.h"
#include "app/program_identity.h"

namespace quorlix {

QString HelpFilePath() {
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {folder + QStringLiteral("/Help.chm"),
                                     folder + QStringLiteral("/../share/quorlix/Help.chm")}) {
        if (QFileInfo(candidate).isFile()) {
            return QFileInfo(candidate).canonicalFilePath();
        }
    }
    return {};
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
