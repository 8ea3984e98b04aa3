#pragma once

#include <ostream>
#include <string>

#include "conversion/progress_counters.h"

namespace quorlix {

// Ctrl-C for the length of one run: SIGINT raises a flag instead of ending the program; the
// previous handling comes back when the object goes.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // True once SIGINT arrived while the guard is in place; false again when it goes.
    static bool Interrupted();
};

// The progress window of quorlix-cli convert: no pauses, the cancel flag also raised by Ctrl-C,
// and, when given a stream, a one-line bar: document name, KiB done of total, percentage.
class ConsoleProgress : public ProgressCounters {
public:
    // bar: where the bar is drawn (a terminal), or nullptr for none.
    explicit ConsoleProgress(std::ostream* bar) : bar_(bar) {}

    bool CancelRequested() const override;
    void Pause(int) override {}

    // The name the bar shows for the document being converted.
    void SetDocumentName(const std::string& name) { documentName_ = name; }
    // Clears the bar's line so that the next text starts on an empty line.
    void ClearBar();

protected:
    void DisplayChanged() override;

private:
    std::ostream* bar_;
    std::string documentName_;
    bool drawn_ = false;
};

}  // namespace quorlix
