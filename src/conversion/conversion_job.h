#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "conversion/conversion_sink.h"
#include "conversion/finished_output.h"
#include "conversion/option_set.h"
#include "platform/installed_fonts.h"
#include "platform/staged_copy.h"
#include "platform/write_step_hook.h"

namespace quorlix {

class OutputSigner;

// What one conversion reads: the document's path, its staged copy and the output's path.
struct ConversionPaths {
    std::string documentPath;                      // as the document list holds it
    std::shared_ptr<const StagedCopy> stagedCopy;  // what is packed as the document
    std::string outputPath;                        // the output executable to write
    // Where a font file that is not found under its own text is looked for.
    std::string fontsFolder = SystemFontsFolder();
};

// How the job waits between the output's steps: 100 ms before the document, the package and the
// end marker, 10 ms before the output is finished, as the desktop program paces them. Empty: the
// job goes straight on (the command line, tests).
using StepPause = std::function<void(std::chrono::milliseconds wait)>;

// Turns one staged document and the option set into a complete output executable. Returns the
// converted flag; when it returns, the output is complete or gone and the sink has been told the
// job finished. The staged copy is written straight into the output and the option files go into
// the package from memory: nothing is written to the temporary folder. The output is written under
// a temporary name beside the final path and renamed over it only once it is whole and the player's
// reader accepts it, so a failure leaves an older output of that name as it was. With a signer the
// output is signed under its temporary name and renamed only once its signature and layout have
// been read back and found good. Never throws.
bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   const OutputSigner* signer = nullptr);

// The same, giving the cause of a failure (the step and the system's text; "cancelled" after a
// cancel), empty when converted, and waiting between the steps with pause.
bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   std::string& cause, const OutputSigner* signer = nullptr,
                   const StepPause& pause = {});

// The same job without pauses, up to the output's last step: the finished output, whole, read
// back and signed when asked, with its Autorun.inf when asked, for the caller to put in place
// (FinishedOutput::Commit), or none when the job failed (cause says why). The sink hears what it
// hears from RunConversion. A batch of the command line puts one output in place while the next
// document converts. Never throws.
std::unique_ptr<FinishedOutput> RunConversionToCommit(const OptionSet& options,
                                                      const ConversionPaths& paths,
                                                      ConversionSink& sink, std::string& cause,
                                                      const OutputSigner* signer = nullptr);

// For tests: while one lives, every conversion job run on this thread tells its hook the name of
// each step before the step starts ("appending the document", "writing " and the output's path,
// ...), so that a test acts at a known point of a job. Scopes nest.
class JobStepHookScope {
public:
    explicit JobStepHookScope(WriteStepHook& hook);
    ~JobStepHookScope();
    JobStepHookScope(const JobStepHookScope&) = delete;
    JobStepHookScope& operator=(const JobStepHookScope&) = delete;

private:
    WriteStepHook* previous_;
};

}  // namespace quorlix
