#pragma once

#include <QObject>
#include <QTimer>

namespace quorlix {

// A window timer: ticks through the event loop every interval while running. Driven by hand,
// it keeps its running state and interval but never ticks by itself, so a test ticks it.
class WindowTimer : public QObject {
    Q_OBJECT

public:
    explicit WindowTimer(QObject* parent = nullptr);

    // Starts at the interval, restarting a running timer.
    void Start(int milliseconds);
    void Stop();
    bool IsActive() const { return active_; }
    int Interval() const { return interval_; }
    // From now on the timer ticks only when its handler is run.
    void DriveByHand();

signals:
    void Tick();

private:
    QTimer timer_;
    bool active_ = false;
    int interval_ = 0;
    bool byHand_ = false;
};

}  // namespace quorlix
