#pragma once

#include <QDialog>
#include <vector>

#include "conversion/convert_documents.h"

class QPlainTextEdit;
class QPushButton;

namespace quorlix {

// One line of the logs window's list: "output path (cause)".
QString FailureLine(const ConvertFailure& failure);

// The logs window: lists the output executables a run of the Convert command did not produce,
// each with why; the list can be read, selected and copied, not edited.
class LogsWindow : public QDialog {
    Q_OBJECT

public:
    explicit LogsWindow(QWidget* parent = nullptr);

    // Replaces the list with these failures, one per line: the output path, then its cause.
    void SetFailures(const std::vector<ConvertFailure>& failures);

public slots:
    void closeLogs();

private:
    QPlainTextEdit* failureList_;
    QPushButton* closeButton_;
};

}  // namespace quorlix
