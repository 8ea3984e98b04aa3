#include "cli/console_progress.h"

#include <csignal>

namespace quorlix {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
struct sigaction g_previous {};

extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_previous);
}

InterruptGuard::~InterruptGuard() {
    ::sigaction(SIGINT, &g_previous, nullptr);
    g_interrupted = 0;
}

bool InterruptGuard::Interrupted() {
    return g_interrupted != 0;
}

bool ConsoleProgress::CancelRequested() const {
    return ProgressCounters::CancelRequested() || InterruptGuard::Interrupted();
}

void ConsoleProgress::DisplayChanged() {
    if (bar_ == nullptr || BarMaximum() <= 0 || PercentageText().empty()) {
        return;
    }
    *bar_ << "\r" << documentName_ << "  " << BarPosition() << " of " << BarMaximum() << " KiB  "
          << PercentageText() << "\x1b[K" << std::flush;
    drawn_ = true;
}

void ConsoleProgress::ClearBar() {
    if (bar_ != nullptr && drawn_) {
        *bar_ << "\r\x1b[K" << std::flush;
    }
    drawn_ = false;
}

}  // namespace quorlix
