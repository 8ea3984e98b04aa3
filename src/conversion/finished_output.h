#pragma once

#include <memory>
#include <optional>
#include <string>

#include "conversion/autorun_file.h"
#include "platform/replacement_file.h"

namespace quorlix {

// An output made whole, read back and (when asked) signed under its temporary name, with its
// Autorun.inf when asked, waiting to be put in place. Going uncommitted, or a failed commit,
// removes both temporary files and leaves the final paths as they were.
class FinishedOutput {
public:
    FinishedOutput(std::unique_ptr<ReplacementFile> output, std::unique_ptr<AutorunFile> autorun);

    const std::string& finalPath() const { return output_->finalPath(); }

    // Syncs the output, renames it over its final path, then renames the autorun file over
    // Autorun.inf, so that an Autorun.inf never names an executable that is not there. A failing
    // sync or rename throws std::system_error naming the final path. Once the output is in place,
    // an autorun file that cannot follow it is no failure: its warning is returned.
    std::optional<std::string> Commit();

private:
    std::unique_ptr<ReplacementFile> output_;
    std::unique_ptr<AutorunFile> autorun_;
};

}  // namespace quorlix
