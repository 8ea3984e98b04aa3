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

    MakeLabel(this, QStringLiteral("Label1"),
              QStringLiteral("Following EXE have not been generated."), 16, 12);
    MakeLabel(
        this, QStringLiteral("Label2"),
        QStringLiteral("Please check the source file and target EXE file, if they are open by "
                       "other"),
        16, 30);
    MakeLabel(this, QStringLiteral("Label3"),
              QStringLiteral("Applications. If yes, please close them and convert again."), 16, 48);

    Memo1 = new QPlainTextEdit(QStringLiteral("Memo1"), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(16, 70, 393, 145);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    Button1 =
        MakeButton(this, QStringLiteral("Button1"), QStringLiteral("Close"), 176, 224, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &LogsWindow::Button1Click);
}

void LogsWindow::SetFailures(const QStringList& outputPaths) {
    Memo1->setPlainText(outputPaths.join(QLatin1Char('\n')));
}

void LogsWindow::Button1Click() {
    accept();
}

}  // namespace quorlix
