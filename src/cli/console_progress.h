#pragma once

#include <ostream>
#include <string>

#include "conversion/progress_counters.h"

namespace quorlix {

// Ctrl-C for the length of one run: SIGINT, SIGTERM and SIGHUP raise a flag instead of ending
// the program; the previous handling comes back when the object goes.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // True once one of those signals arrived while the guard is in place; false again when it
    // goes.
    static bool Interrupted();
    // The signal that arrived last; 0 for none.
    static int Signal();
};

// The progress of quorlix-cli convert: the cancel flag also raised by Ctrl-C, and, when given a
// stream, a one-line bar: document name, KiB done of total, percentage.
class ConsoleProgress : public ProgressCounters {
public:
    // bar: where the bar is drawn (a terminal), or nullptr for none; warnings: where a request
    // the job ignored is reported, or nullptr for nowhere.
    explicit ConsoleProgress(std::ostream* bar, std::ostream* warnings = nullptr)
        : bar_(bar), warnings_(warnings) {}

    bool CancelRequested() const override;
    void Warn(const std::string& text) override;

    // The name the bar shows for the document being converted.
    void SetDocumentName(const std::string& name) { documentName_ = name; }
    // Clears the bar's line so that the next text starts on an empty line.
    void ClearBar();

protected:
    void DisplayChanged() override;

private:
    std::ostream* bar_;
    std::ostream* warnings_;
    std::string documentName_;
    bool drawn_ = false;
};

}  // namespace quorlix
