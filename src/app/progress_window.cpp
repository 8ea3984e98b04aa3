#include "app/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "app/window_geometry.h"

namespace quorlix {

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("working..."));
    setModal(true);
    setFixedSize(365, 93);

    Label2 = MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("Label2"), 16, 8);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(16, 24, 281, 16);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Label1"), 303, 27);
    Button1 =
        MakeButton(this, QStringLiteral("Button1"), QStringLiteral("Cancle"), 152, 50, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &TForm2::StartConversionTimer);
}

void TForm2::ProcessMessages() {
    QCoreApplication::processEvents();
}

void TForm2::Close() {
    ProgressCounters::Close();
    done(QDialog::Accepted);
}

void TForm2::Pause(int milliseconds) {
    if (!pausesEnabled_) {
        return;
    }
    // The window keeps repainting and taking clicks while the job waits.
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

void TForm2::ResetProgressWindow() {
    ProcessMessages();
    Reset();
    ++resetCount_;
    Timer1->start();
}

void TForm2::StartConversionTimer() {
    Timer1->stop();
    if (!job_ || running_) {
        return;
    }
    ++startCount_;
    running_ = true;
    const bool converted = job_(*this);
    running_ = false;
    SetConverted(converted);
    if (isVisible()) {
        done(QDialog::Accepted);
    }
}

void TForm2::Button1Click() {
    RequestCancel();
}

void TForm2::DisplayChanged() {
    Label2->setText(QString::fromStdString(UpperLabel()));
    if (UpperLabelWidth()) {
        Label2->resize(*UpperLabelWidth(), Label2->height());
    } else {
        Label2->adjustSize();
    }
    ProgressBar1->setMaximum(std::max(BarMaximum(), 0));
    ProgressBar1->setValue(static_cast<int>(std::min<std::int64_t>(BarPosition(), INT32_MAX)));
    Label1->setText(QString::fromStdString(PercentageText()));
    Label1->adjustSize();
    emit progressShown();
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    resetThisShowing_ = false;
    // Platforms that never activate a window (offscreen) still start the job.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) {
            ActivatedForShowing();
        }
    });
}

void TForm2::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        ActivatedForShowing();
    }
}

void TForm2::ActivatedForShowing() {
    if (resetThisShowing_) {
        return;
    }
    resetThisShowing_ = true;
    ResetProgressWindow();
}

void TForm2::closeEvent(QCloseEvent* event) {
    // Alt+F4 or the window manager's close button act as "Cancle" while shown for a job.
    if (running_ || job_) {
        event->ignore();
        Button1Click();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm2::reject() {
    // Escape never closes the window while it is shown for a job.
    if (running_ || job_) {
        Button1Click();
        return;
    }
    QDialog::reject();
}

}  // namespace quorlix
