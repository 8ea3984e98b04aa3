#pragma once

#include <cstdint>

namespace quorlix {

// What the output writers report while they work, and the cancel flag they read: events only,
// nothing of a window. The events come one at a time from the thread that runs the writer;
// CancelRequested may read a flag that another thread raises. The object passed in must outlive
// the call it is passed to; it is never stored.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    // The cancel flag, read at the fixed check points of the writers.
    virtual bool CancelRequested() const = 0;
    // Bytes done: a chunk of byteCount bytes of the document has been copied.
    virtual void AddProgress(std::uint32_t byteCount) = 0;
    // Bytes done within an entry: the compressor has written an output block after taking in
    // bytesTakenIn source bytes of the entry being compressed.
    virtual void ShowStreamProgress(std::uint64_t bytesTakenIn) = 0;
    // Bytes done: a package entry is written whole; kib is its source's size in KiB, rounded to
    // the nearest with halves to even (as the staged size counted it).
    virtual void EntryDone(std::uint32_t kib) = 0;
};

}  // namespace quorlix
