#pragma once

namespace quorlix {

// Decides, from looks at a steady interval at whether the opened document is held, when the
// program that opened it is done with it: once it has held the document and let it go, or when
// it has not taken it within the grace period, counted in looks (it read the document and keeps
// no hold on it).
class ReleaseWatch {
public:
    explicit ReleaseWatch(unsigned graceLooks) : graceLooks_(graceLooks) {}

    // Takes one look; true when the wait is over.
    bool Done(bool documentHeld) {
        if (documentHeld) {
            seenHeld_ = true;
            return false;
        }
        return seenHeld_ || waitedLooks_++ >= graceLooks_;
    }

private:
    unsigned graceLooks_;
    unsigned waitedLooks_ = 0;
    bool seenHeld_ = false;
};

}  // namespace quorlix
