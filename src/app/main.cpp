// quorlix: the desktop program.
#include <QApplication>
#include <QIcon>
#include <exception>
#include <memory>

#include "app/exposure_probe.h"
#include "app/logs_window.h"
#include "app/main_window.h"
#include "app/program_identity.h"
#include "app/progress_window.h"
#include "app/termination_signals.h"
#include "widgets/qt_dialogs.h"
#include "widgets/window_geometry.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(quorlix::kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("com.dorvane.Quorlix"));
    QApplication::setWindowIcon(QIcon(quorlix::ProgramIconPixmap(48)));
    quorlix::ApplyProgramFont();

    quorlix::QtDialogs dialogs;
    quorlix::ProgressWindow progress;
    quorlix::LogsWindow logs;
    std::unique_ptr<quorlix::MainWindow> mainWindow;
    try {
        mainWindow = std::make_unique<quorlix::MainWindow>(dialogs, progress, logs);
    } catch (const std::exception& e) {
        dialogs.ShowError(nullptr, QString::fromStdString(e.what()));
        return 1;
    }
    quorlix::TerminationSignals termination;
    QObject::connect(&termination, &quorlix::TerminationSignals::terminationRequested,
                     mainWindow.get(), &quorlix::MainWindow::RequestClose);
    mainWindow->show();
    // For the benchmark: report the moment the main window is first on screen, then end.
    if (QApplication::arguments().contains(QStringLiteral("--exit-when-shown"))) {
        quorlix::ExitWhenExposed(*mainWindow);
    }
    return QApplication::exec();
}
