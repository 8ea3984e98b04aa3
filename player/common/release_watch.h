#pragma once

namespace quorlix {

// Decides, from one look a second at whether the opened document is held, when the program
// that opened it is done with it: once it has held the document and let it go, or when it has
// not taken it within the grace period (it read the document and keeps no hold on it).
class ReleaseWatch {
public:
    explicit ReleaseWatch(unsigned graceSeconds) : graceSeconds_(graceSeconds) {}

    // Takes one look; true when the wait is over.
    bool Done(bool documentHeld) {
        if (documentHeld) {
            seenHeld_ = true;
            return false;
        }
        return seenHeld_ || waitedSeconds_++ >= graceSeconds_;
    }

private:
    unsigned graceSeconds_;
    unsigned waitedSeconds_ = 0;
    bool seenHeld_ = false;
};

}  // namespace quorlix
