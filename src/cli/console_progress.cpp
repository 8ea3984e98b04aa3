#include "cli/console_progress.h"

#include <csignal>
#include <cstddef>

namespace quorlix {

namespace {

// The signals that end a run as Ctrl-C does.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

volatile std::sig_atomic_t g_interrupted = 0;
struct sigaction g_previous[kSignalCount] {};

extern "C" void OnInterrupt(int signal) {
    g_interrupted = signal;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kEndingSignals[i], &action, &g_previous[i]);
    }
}

InterruptGuard::~InterruptGuard() {
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kEndingSignals[i], &g_previous[i], nullptr);
    }
    g_interrupted = 0;
}

bool InterruptGuard::Interrupted() {
    return g_interrupted != 0;
}

int InterruptGuard::Signal() {
    return g_interrupted;
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

void ConsoleProgress::Warn(const std::string& text) {
    if (warnings_ != nullptr) {
        ClearBar();
        *warnings_ << "quorlix-cli convert: warning: " << text << "\n" << std::flush;
    }
}

void ConsoleProgress::ClearBar() {
    if (bar_ != nullptr && drawn_) {
        *bar_ << "\r\x1b[K" << std::flush;
    }
    drawn_ = false;
}

}  // namespace quorlix
