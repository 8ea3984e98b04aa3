#include "app/logs_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "widgets/window_geometry.h"

namespace quorlix {

LogsWindow::LogsWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("logsWindow"));
    setWindowTitle(QStringLiteral("Logs"));
    setModal(true);
    resize(433, 260);

    MakeLabel(this, QStringLiteral("failureHeadingLabel"),
              QStringLiteral("Following EXE have not been generated."), 16, 12);
    MakeLabel(
        this, QStringLiteral("checkFilesLabel"),
        QStringLiteral("Please check the source file and target EXE file, if they are open by "
                       "other"),
        16, 30);
    MakeLabel(this, QStringLiteral("closeApplicationsLabel"),
              QStringLiteral("Applications. If yes, please close them and convert again."), 16, 48);

    failureList_ = new QPlainTextEdit(this);
    failureList_->setObjectName(QStringLiteral("failureList"));
    failureList_->setGeometry(16, 70, 393, 145);
    // Each failure is one line; a long one wraps, so that its cause stays in sight.
    failureList_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    failureList_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    failureList_->setReadOnly(true);
    failureList_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    failureList_->setTabChangesFocus(true);
    NameControl(failureList_, QStringLiteral("EXE files not generated"));

    closeButton_ =
        MakeButton(this, QStringLiteral("closeButton"), QStringLiteral("Close"), 176, 224, 75, 25);
    connect(closeButton_, &QPushButton::clicked, this, &LogsWindow::closeLogs);
}

QString FailureLine(const ConvertFailure& failure) {
    QString line = QString::fromStdString(failure.outputPath);
    if (!failure.cause.empty()) {
        line += QStringLiteral(" (") + QString::fromStdString(failure.cause) + QLatin1Char(')');
    }
    return line;
}

void LogsWindow::SetFailures(const std::vector<ConvertFailure>& failures) {
    QStringList lines;
    for (const ConvertFailure& failure : failures) {
        lines << FailureLine(failure);
    }
    failureList_->setPlainText(lines.join(QLatin1Char('\n')));
}

void LogsWindow::closeLogs() {
    accept();
}

}  // namespace quorlix
