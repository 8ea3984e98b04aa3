#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "conversion/conversion_sink.h"
#include "conversion/option_set.h"
#include "platform/installed_fonts.h"
#include "platform/write_step_hook.h"

namespace quorlix {

class OutputSigner;

// The three paths one conversion reads.
struct ConversionPaths {
    std::string documentPath;  // the Word document as the document list holds it
    std::string sourcePath;    // the staged copy that is packed as the document
    std::string outputPath;    // the output executable to write
    // Where a font file that is not found under its own text is looked for.
    std::string fontsFolder = SystemFontsFolder();
};

// How the job waits between the output's steps: 100 ms before the document, the package and the
// end marker, 10 ms before the work folder goes, as the desktop program paces them. Empty: the
// job goes straight on (the command line, tests).
using StepPause = std::function<void(std::chrono::milliseconds wait)>;

// Turns one staged document and the option set into a complete output executable. Returns the
// converted flag; when it returns, the output is complete or gone, the work folder is gone and
// the sink has been told the job finished. The output is written under a temporary name beside the
// final path and renamed over it only once it is whole and the player's reader accepts it, so a
// failure leaves an older output of that name as it was. With a signer the output is signed under
// its temporary name and renamed only once its signature and layout have been read back and found
// good. Never throws.
bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   const OutputSigner* signer = nullptr);

// The same, giving the cause of a failure (the step and the system's text; "cancelled" after a
// cancel), empty when converted, and waiting between the steps with pause.
bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   std::string& cause, const OutputSigner* signer = nullptr,
                   const StepPause& pause = {});

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
