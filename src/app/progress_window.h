#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "conversion/conversion_job.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace quorlix {

// The progress window: shown modally once per document, it starts the conversion job on a
// worker thread 10 ms after it comes up, shows the job's events as they arrive and closes when
// the job ends; "Cancle" only raises the flag the job reads.
class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    // The job a showing runs on the worker thread: it reports to sink, waits between its steps
    // with pause, and returns the converted flag.
    using Job = std::function<bool(ConversionSink& sink, const StepPause& pause)>;

    explicit ProgressWindow(QWidget* parent = nullptr);
    // Cancels a job still running and waits for it.
    ~ProgressWindow() override;

    // The job the next showing runs.
    void SetJob(Job job) { job_ = std::move(job); }
    // How the job waits between its steps: by default on its thread for the time asked; tests
    // wait otherwise, or not at all (an empty pause).
    void SetStepPause(StepPause pause) { stepPause_ = std::move(pause); }
    // Cancels the job if it still runs and waits until it has ended (after a showing).
    void EndJob();
    bool JobRunning() const { return worker_ != nullptr; }
    // How many times the window was reset, and the job started, since it was made.
    int ResetCount() const { return resetCount_; }
    int StartCount() const { return startCount_; }

    // The cancel flag: cleared by the Convert command before each document, raised by Cancel.
    void ClearCancel();
    void RequestCancel();
    bool CancelRequested() const;
    // The converted flag of the last job, read once the window has closed.
    bool Converted() const { return converted_; }
    void SetConverted(bool converted) { converted_ = converted; }

    // What the window shows, as the job's last event shown left it.
    std::int64_t BarPosition() const { return shown_.barPosition; }
    std::int32_t BarMaximum() const { return shown_.barMaximum; }
    const std::string& PercentageText() const { return shown_.percentage; }
    const std::string& UpperLabel() const { return shown_.upperLabel; }

signals:
    // The bar, its percentage or the upper label changed (once per event shown).
    void progressShown();

public slots:
    // Once per showing, when the window first becomes active: back to nothing shown, and the
    // start timer running.
    void resetProgress();
    // The start timer's tick: the job goes to the worker thread.
    void startJob();
    // The "Cancle" button.
    void requestCancel();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // What the controls show, as the job's events left it.
    struct View {
        std::optional<JobStage> stage;
        std::string upperLabel;
        std::int64_t barPosition = 0;
        std::int32_t barMaximum = 0;
        std::string percentage;
    };
    class JobProgress;

    void ActivatedForShowing();
    // Runs on the window's thread, once per event, in the order the job reported them.
    void ShowProgress(const View& view);
    void JobEnded();

    QLabel* outputNameLabel_;
    QProgressBar* progressBar_;
    QLabel* percentageLabel_;
    QPushButton* cancelButton_;
    QTimer* startTimer_;

    std::unique_ptr<JobProgress> progress_;
    View shown_;
    Job job_;
    QThread* worker_ = nullptr;
    bool jobResult_ = false;  // written by the worker, read once it has ended
    bool converted_ = false;
    StepPause stepPause_;
    bool resetThisShowing_ = false;
    int resetCount_ = 0;
    int startCount_ = 0;
};

}  // namespace quorlix
