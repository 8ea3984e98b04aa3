#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace quorlix {

// The logs window: lists the output executables a run of the Convert command did not produce.
class LogsWindow : public QDialog {
    Q_OBJECT

public:
    explicit LogsWindow(QWidget* parent = nullptr);

    // Replaces the list with these output paths, one per line.
    void SetFailures(const QStringList& outputPaths);

public slots:
    void closeLogs();

private:
    QPlainTextEdit* failureList_;
    QPushButton* closeButton_;
};

}  // namespace quorlix
