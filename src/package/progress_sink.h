#pragma once

#include <cstdint>

namespace quorlix {

// Where the output writer reports progress and reads the cancel flag. The object passed in must
// outlive the call it is passed to; it is never stored.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    // The cancel flag, read at the fixed check points of the writers.
    virtual bool CancelRequested() const = 0;
    // A chunk of byteCount bytes of the document has been copied.
    virtual void AddProgress(std::uint32_t byteCount) = 0;
    // The compressor has written an output block after taking in bytesTakenIn source bytes of
    // the entry being compressed.
    virtual void ShowStreamProgress(std::uint64_t bytesTakenIn) = 0;
    // The work finished so far, in KiB.
    virtual std::uint32_t ProgressTotal() const = 0;
    virtual void SetProgressTotal(std::uint32_t kib) = 0;
    // The expected work in KiB; 0 means no progress is shown.
    virtual std::int32_t ProgressMaximum() const = 0;
    virtual void SetProgressMaximum(std::int32_t kib) = 0;
};

}  // namespace quorlix
