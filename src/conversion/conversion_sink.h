#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "package/progress_sink.h"

namespace quorlix {

// What the conversion job reports to and reads from while it runs: the progress window, or any
// object standing in for it. The object passed in must outlive the job; it is never stored.
class ConversionSink : public ProgressSink {
public:
    // Sets the upper label; a width in pixels, when given, sets the label's width too.
    virtual void SetUpperLabel(const std::string& text, std::optional<int> width) = 0;
    // Lets pending window messages run once (a click on Cancel is handled here).
    virtual void ProcessMessages() = 0;
    virtual void SetBarPosition(std::int64_t position) = 0;
    virtual void SetBarMaximum(std::int32_t maximum) = 0;
    virtual void ClearCancel() = 0;
    // Asks the window to close at the end of the job.
    virtual void Close() = 0;
    // Suspends the job for the given time; a test sink may return at once.
    virtual void Pause(int milliseconds) = 0;
    // At the end of the job: why the document failed (the step and the system's text), or empty
    // when it converted.
    virtual void SetFailureCause(const std::string& cause) { (void)cause; }
    // A request the job ignored by design, such as an icon that could not be applied.
    virtual void Warn(const std::string& text) { (void)text; }
};

}  // namespace quorlix
