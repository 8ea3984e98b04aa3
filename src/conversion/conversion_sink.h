#pragma once

#include <cstdint>
#include <string>

#include "package/progress_sink.h"

namespace quorlix {

// The stages of one conversion job, in the order it reports them.
enum class JobStage {
    Preparing,  // started; nothing is written yet
    Writing,    // writing the output
    Finished,   // over, converted or not
};

// What the conversion job reports while it runs, and the cancel flag it reads: events only,
// nothing of a window. The desktop program's progress window, the command line and tests
// implement it. The events come one at a time from the thread that runs the job; the object
// passed in must outlive the job and is never stored.
class ConversionSink : public ProgressSink {
public:
    // The job reached a stage; outputName is the file name of the output it writes.
    virtual void StageReached(JobStage stage, const std::string& outputName) = 0;
    // The work is measured: kib is the staged size in KiB (the progress maximum); 0 shows no
    // progress.
    virtual void WorkMeasured(std::int32_t kib) = 0;
    // A request the job ignored by design, such as an icon that could not be applied.
    virtual void Warn(const std::string& text) { (void)text; }
};

}  // namespace quorlix
