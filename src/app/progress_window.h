#pragma once

#include <QDialog>
#include <functional>

#include "conversion/progress_counters.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace quorlix {

// TForm2, the progress window: shown modally once per document, it starts the conversion job
// from its timer, shows its progress and is its progress sink; "Cancle" only raises the flag.
class TForm2 : public QDialog, public ProgressCounters {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    // The job the next showing runs; it returns the converted flag.
    void SetJob(std::function<bool(TForm2&)> job) { job_ = std::move(job); }
    // Whether the job's pauses really wait (tests switch them off).
    void SetPausesEnabled(bool enabled) { pausesEnabled_ = enabled; }
    bool JobRunning() const { return running_; }
    // How many times the window was reset, and the job started, since it was made.
    int ResetCount() const { return resetCount_; }
    int StartCount() const { return startCount_; }

    // ConversionSink: the window's side.
    void ProcessMessages() override;
    void Close() override;
    void Pause(int milliseconds) override;

signals:
    // The bar, its percentage or the upper label changed (once per progress report shown).
    void progressShown();

public slots:
    void ResetProgressWindow();
    void StartConversionTimer();
    void Button1Click();

protected:
    void DisplayChanged() override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // Resets and starts once per showing, when the window first becomes active.
    void ActivatedForShowing();

    QLabel* Label2;
    QProgressBar* ProgressBar1;
    QLabel* Label1;
    QPushButton* Button1;
    QTimer* Timer1;

    std::function<bool(TForm2&)> job_;
    bool pausesEnabled_ = true;
    bool resetThisShowing_ = false;
    bool running_ = false;
    int resetCount_ = 0;
    int startCount_ = 0;
};

}  // namespace quorlix
