// The Convert command of the main window: the checks, the busy notice, the run over the document
// list through the progress window, and the report.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/logs_window.h"
#include "app/main_window.h"
#include "app/output_signing.h"
#include "app/progress_window.h"
#include "conversion/conversion_job.h"
#include "conversion/convert_documents.h"
#include "options/fonts_page.h"
#include "options/general_page.h"
#include "options/logo_page.h"
#include "options/watermark_page.h"
#include "platform/file_system.h"
#include "widgets/dialogs.h"

namespace quorlix {

// The window's side of a run: the option set from the pages, the progress window per document,
// the run's signer (none when signing is off).
class WindowConvertFrontEnd final : public ConvertFrontEnd {
public:
    WindowConvertFrontEnd(MainWindow& window, const OutputSigner* signer)
        : window_(window), signer_(signer) {}

    OptionSet OptionsFor(const std::string&) override { return window_.CollectOptions(); }

    // The job puts the output in place itself, before the progress window closes.
    DocumentResult ConvertOne(const OptionSet& options, const ConversionPaths& paths) override {
        ProgressWindow& progress = window_.progress_;
        progress.ClearCancel();
        progress.SetConverted(false);
        std::string cause;
        progress.SetJob([&](ConversionSink& sink, const StepPause& pause) {
            return RunConversion(options, paths, sink, cause, signer_, pause);
        });
        progress.exec();
        progress.EndJob();
        progress.SetJob({});
        return DocumentResult(progress.Converted(), cause);
    }

    bool CancelRequested() const override { return window_.progress_.CancelRequested(); }

private:
    MainWindow& window_;
    const OutputSigner* signer_;
};

OptionSet MainWindow::CollectOptions() const {
    OptionSet options;
    generalPage_->FillOptions(options);
    logoPage_->FillOptions(options);
    watermarkPage_->FillOptions(options);
    fontsPage_->FillOptions(options);
    options.autorun = autorunCheckBox_->isChecked();
    return options;
}

std::string MainWindow::OutputFolderText() const {
    return outputFolderEdit_->text().toStdString();
}

bool MainWindow::OutputFolderChosen() const {
    return FolderExists(OutputFolderText());
}

void MainWindow::convert() {
    if (Busy()) {
        return;
    }
    if (watermarkPage_->ImageWatermarkFileMissing()) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select watermark image!"));
        pages_->setCurrentWidget(watermarkPage_);
        watermarkPage_->FocusImageFile();
        return;
    }
    if (documents_.empty()) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select the Excel source file!"));
        addFiles();
        return;
    }
    if (!OutputFolderChosen()) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select the EXE output folder!"));
        chooseOutputFolder();
        return;
    }
    // One signer for the whole run, made before its first document.
    std::optional<OutputSigner> signer;
    if (!outputSigning_->PrepareRun(signer)) {
        return;
    }
    RunConvert(signer ? &*signer : nullptr);
}

void MainWindow::RunConvert(const OutputSigner* signer) {
    const std::vector<std::string> documents = documents_.items();
    ShowBusyNotice(true);
    ConvertOutcome outcome;
    try {
        WindowConvertFrontEnd frontEnd(*this, signer);
        progress_.ClearCancel();
        outcome = ConvertDocuments(documents, OutputFolderText(), autorunCheckBox_->isChecked(),
                                   frontEnd);
    } catch (const ConvertRunStopped& e) {
        // The error first, then every failure the run met up to there.
        EndStoppedRun(QString::fromStdString(e.what()), e.outcome().failures);
        return;
    } catch (const std::exception& e) {
        EndStoppedRun(QString::fromStdString(e.what()), {});
        return;
    }
    if (!outcome.cancelled) {
        if (outcome.failures.empty()) {
            dialogs_.ShowMessage(this, QStringLiteral("Convert finished!"));
        } else {
            ShowFailures(outcome.failures);
        }
        openOutputFolderButton_->setEnabled(true);
    }
    ShowBusyNotice(false);
    if (closeWhenIdle_) {
        close();
    }
}

void MainWindow::EndStoppedRun(const QString& error, const std::vector<ConvertFailure>& failures) {
    ShowBusyNotice(false);
    dialogs_.ShowError(this, error);
    if (!failures.empty()) {
        ShowFailures(failures);
    }
    if (closeWhenIdle_) {
        close();
    }
}

void MainWindow::ShowFailures(const std::vector<ConvertFailure>& failures) {
    logs_.SetFailures(failures);
    logs_.exec();
}

}  // namespace quorlix
