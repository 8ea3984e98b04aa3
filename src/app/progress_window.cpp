#include "app/progress_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#include "conversion/progress_counters.h"
#include "widgets/window_geometry.h"

namespace quorlix {

namespace {

// The upper label's width while it names the output being written.
constexpr int kOutputNameWidth = 345;
// The delay between the window coming up and the job starting.
constexpr int kStartDelayMilliseconds = 10;

}  // namespace

// The job's side of the window: the counters, worked on the worker thread, each change posted
// to the window's thread as a copy of what to show.
class ProgressWindow::JobProgress final : public ProgressCounters {
public:
    explicit JobProgress(ProgressWindow& window) : window_(window) {}

    ProgressWindow::View CurrentView() const {
        return {Stage(), UpperLabel(), BarPosition(), BarMaximum(), PercentageText()};
    }

protected:
    void DisplayChanged() override {
        if (QThread::currentThread() == window_.thread()) {
            window_.ShowProgress(CurrentView());
            return;
        }
        QMetaObject::invokeMethod(
            &window_, [window = &window_, view = CurrentView()] { window->ShowProgress(view); },
            Qt::QueuedConnection);
    }

private:
    ProgressWindow& window_;
};

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      progress_(std::make_unique<JobProgress>(*this)) {
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("working..."));
    setModal(true);
    setFixedSize(365, 93);

    outputNameLabel_ = MakeLabel(this, QStringLiteral("outputNameLabel"), QString(), 16, 8);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setGeometry(16, 24, 281, 16);
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    NameControl(progressBar_, QStringLiteral("Conversion progress"));
    percentageLabel_ = MakeLabel(this, QStringLiteral("percentageLabel"), QString(), 303, 27);
    cancelButton_ =
        MakeButton(this, QStringLiteral("cancelButton"), QStringLiteral("Cancle"), 152, 50, 75, 25);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::requestCancel);

    stepPause_ = [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); };

    startTimer_ = new QTimer(this);
    startTimer_->setObjectName(QStringLiteral("startTimer"));
    startTimer_->setInterval(kStartDelayMilliseconds);
    connect(startTimer_, &QTimer::timeout, this, &ProgressWindow::startJob);
}

ProgressWindow::~ProgressWindow() {
    EndJob();
}

void ProgressWindow::ClearCancel() {
    progress_->ClearCancel();
}

void ProgressWindow::RequestCancel() {
    progress_->RequestCancel();
}

bool ProgressWindow::CancelRequested() const {
    return progress_->CancelRequested();
}

void ProgressWindow::resetProgress() {
    progress_->Reset();
    ++resetCount_;
    startTimer_->start();
}

void ProgressWindow::startJob() {
    startTimer_->stop();
    if (!job_ || worker_ != nullptr) {
        return;
    }
    ++startCount_;
    worker_ = QThread::create(
        [this, job = job_, pause = stepPause_] { jobResult_ = job(*progress_, pause); });
    // The end of this job only: a late notice of an earlier one is ignored.
    connect(worker_, &QThread::finished, this, [this, job = startCount_] {
        if (job == startCount_) {
            JobEnded();
        }
    });
    worker_->start();
}

void ProgressWindow::JobEnded() {
    if (worker_ == nullptr) {
        return;
    }
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    converted_ = jobResult_;
    if (isVisible()) {
        done(QDialog::Accepted);
    }
}

void ProgressWindow::EndJob() {
    if (worker_ == nullptr) {
        return;
    }
    RequestCancel();
    worker_->wait();
    JobEnded();
}

void ProgressWindow::requestCancel() {
    RequestCancel();
}

void ProgressWindow::ShowProgress(const View& view) {
    shown_ = view;
    outputNameLabel_->setText(QString::fromStdString(view.upperLabel));
    if (view.stage == JobStage::Writing || view.stage == JobStage::Finished) {
        outputNameLabel_->resize(kOutputNameWidth, outputNameLabel_->height());
    } else {
        outputNameLabel_->adjustSize();
    }
    progressBar_->setMaximum(std::max(view.barMaximum, 0));
    progressBar_->setValue(static_cast<int>(std::min<std::int64_t>(view.barPosition, INT32_MAX)));
    percentageLabel_->setText(QString::fromStdString(view.percentage));
    percentageLabel_->adjustSize();
    emit progressShown();
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    resetThisShowing_ = false;
    // Platforms that never activate a window (offscreen) still start the job.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) {
            ActivatedForShowing();
        }
    });
}

void ProgressWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        ActivatedForShowing();
    }
}

void ProgressWindow::ActivatedForShowing() {
    if (resetThisShowing_) {
        return;
    }
    resetThisShowing_ = true;
    resetProgress();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // Alt+F4 or the window manager's close button act as "Cancle" while shown for a job.
    if (JobRunning() || job_) {
        event->ignore();
        requestCancel();
        return;
    }
    QDialog::closeEvent(event);
}

void ProgressWindow::reject() {
    // Escape never closes the window while it is shown for a job.
    if (JobRunning() || job_) {
        requestCancel();
        return;
    }
    QDialog::reject();
}

}  // namespace quorlix
