#include "options/window_timer.h"

namespace quorlix {

WindowTimer::WindowTimer(QObject* parent) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, &WindowTimer::Tick);
}

void WindowTimer::Start(int milliseconds) {
    active_ = true;
    interval_ = milliseconds;
    if (!byHand_) {
        timer_.start(milliseconds);
    }
}

void WindowTimer::Stop() {
    active_ = false;
    timer_.stop();
}

void WindowTimer::DriveByHand() {
    byHand_ = true;
    timer_.stop();
}

}  // namespace quorlix
