#pragma once

#include <string_view>

namespace quorlix {

// Told the name of each step of a write before it is made ("lock", "write temporary", "rename",
// "appending the document", ...), so a test can act there: stop the process, fail the step, or
// change what the step finds.
class WriteStepHook {
public:
    virtual ~WriteStepHook() = default;
    virtual void Before(std::string_view step) = 0;
};

}  // namespace quorlix
