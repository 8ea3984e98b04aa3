#include "conversion/conversion_job.h"

#include <exception>
#include <optional>

#include "conversion/autorun_file.h"
#include "conversion/option_files.h"
#include "conversion/progress_counters.h"
#include "conversion/staging_list.h"
#include "conversion/travelling_names.h"
#include "package/icon_replacement.h"
#include "package/output_assembly.h"
#include "package/output_check.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/guid.h"
#include "platform/replacement_file.h"
#include "platform/run_folder.h"
#include "platform/temp_folder.h"
#include "signing/output_signer.h"

namespace quorlix {

namespace {

// The hook of the innermost JobStepHookScope of this thread; none outside one.
thread_local WriteStepHook* t_stepHook = nullptr;

using std::chrono::milliseconds;

// Waits between two steps when the caller paces the job.
void Pause(const StepPause& pause, milliseconds wait) {
    if (pause) {
        pause(wait);
    }
}

// A fresh work folder path for the option files: <temporary folder>dorvane/temp/{GUID}.
std::string NewWorkFolderPath() {
    std::string temp = TempFolderPath();
    temp.pop_back();
    const std::string guid = NewGuidText();
    if (guid.empty()) {
        // Without a name of its own the job would later delete the shared parent folder.
        throw Error("No GUID for the work folder");
    }
    return temp + "/dorvane/temp/" + guid;
}

// Writes one option file into the work folder and stages it.
void StageOptionFile(StagingList& staging, const std::string& workFolder, std::string_view file,
                     const std::vector<std::string>& lines) {
    const std::string path = workFolder + "/" + std::string(file);
    WriteTextLines(path, lines);
    staging.Add(path, OptionEntryName(file));
}

// A font file: the text itself when a file is there, else the same name in the fonts folder.
std::string ResolveFontFile(const std::string& text, const std::string& fontsFolder) {
    return FileExists(text) ? text : fontsFolder + "/" + text;
}

void StageFonts(const OptionSet& options, const std::string& fontsFolder, StagingList& staging) {
    if (!options.embedfonts) {
        return;
    }
    // Each file under the name it travels as, the same name trmacke2.dll gives it.
    const std::vector<std::string> names = FontPackNames(options);
    std::size_t next = 0;
    for (const FontEntry& entry : options.embedfontlist) {
        for (const std::string& file : FontEntryFiles(entry)) {
            staging.Add(ResolveFontFile(file, fontsFolder), "myfont\\" + names[next++]);
        }
    }
}

// The icon step: any failure leaves the stub's own icon, with a warning.
void ReplaceIconIfAsked(const OptionSet& options, const std::string& outputPath,
                        ConversionSink& sink) {
    if (!FileExists(options.iconfilename)) {
        sink.Warn("the icon " + options.iconfilename +
                  " is not a file; the output keeps the player's icon");
        return;
    }
    std::string why;
    try {
        ReplaceMainIcon(outputPath, options.iconfilename);
        return;
    } catch (const ResourceUpdateError& e) {
        why = e.what() + (e.systemText().empty() ? "" : ": " + e.systemText());
    } catch (const std::exception& e) {
        why = e.what();
    }
    sink.Warn("the icon " + options.iconfilename + " could not be applied (" + why +
              "); the output keeps the player's icon");
}

// The steps of one output, for the cause of a failure.
class Steps {
public:
    Steps(const ConversionPaths& paths) : finalPath_(paths.outputPath) {}
    void Start(std::string step) {
        if (t_stepHook != nullptr) {
            t_stepHook->Before(step);
        }
        step_ = std::move(step);
    }
    void SetTemporaryPath(const std::string& path) { temporaryPath_ = path; }
    // The current step and what went wrong, naming the final output, not its temporary name.
    std::string Cause(const std::string& what) const {
        std::string text = what;
        if (!temporaryPath_.empty()) {
            for (std::size_t at = text.find(temporaryPath_); at != std::string::npos;
                 at = text.find(temporaryPath_, at + finalPath_.size())) {
                text.replace(at, temporaryPath_.size(), finalPath_);
            }
        }
        return step_ + ": " + text;
    }

private:
    std::string finalPath_;
    std::string temporaryPath_;
    std::string step_;
};

// Ends the output at a cancel.
void StopIfCancelled(ConversionSink& sink) {
    if (sink.CancelRequested()) {
        throw Error("cancelled");
    }
}

// Warns about a picture the options show whose file is not there.
void WarnMissingImage(bool shown, const std::string& path, ConversionSink& sink) {
    if (shown && !ChosenFileExists(path)) {
        sink.Warn("the image " + path + " is not a file; it is left out");
    }
}

// Makes the output's folder, checks that the final path can be replaced and creates the
// temporary output beside it.
void PrepareOutput(const std::string& outputPath, std::optional<ReplacementFile>& output,
                   Steps& steps) {
    steps.Start("writing " + outputPath);
    const std::string folder = FolderOf(outputPath);
    if (!folder.empty() && !FolderExists(folder)) {
        CreateFolders(folder);
    }
    HoldForReplacement(outputPath);
    output.emplace(outputPath, ".part");
    steps.SetTemporaryPath(output->temporaryPath());
    output->ReopenFile();
}

// Writes the player stub, inflated once per run, into the open output and applies the icon when
// asked (the icon step works on the file by its path).
void WriteStub(const OptionSet& options, ReplacementFile& output, Steps& steps,
               ConversionSink& sink) {
    const std::vector<std::uint8_t>& stub = InflatedProgramResource("exefile", "head");
    output.file().WriteAll(stub.data(), stub.size());
    if (options.changeicon) {
        steps.Start("applying the icon");
        output.ReleaseFile();
        ReplaceIconIfAsked(options, output.temporaryPath(), sink);
        output.ReopenFile();
    }
}

// Stages every option file and picture, writes the stub under the temporary name and appends
// document, package and end marker. Throws the failing step's error.
void WriteOutput(const OptionSet& options, const ConversionPaths& paths,
                 const std::string& workFolder, std::optional<ReplacementFile>& output,
                 Steps& steps, ConversionSink& sink, const StepPause& pause) {
    steps.Start("writing the option files");
    StagingList staging(FileSizeOf(paths.sourcePath));
    const bool firstImage = options.showfirstimage && ChosenFileExists(options.firstimage);
    const bool secondImage = options.showsecondimage && ChosenFileExists(options.secondimage);
    WarnMissingImage(options.showfirstimage, options.firstimage, sink);
    WarnMissingImage(options.showsecondimage, options.secondimage, sink);
    StageOptionFile(staging, workFolder, kWinsetbrowerFile,
                    WinsetbrowerLines(options, paths.sourcePath, firstImage, secondImage));

    const bool waterImage = options.watertype == 2 && ChosenFileExists(options.waterimagefile);
    if (waterImage) {
        staging.Add(options.waterimagefile, std::string(kWaterImageEntry));
    }
    StageOptionFile(staging, workFolder, kWateroptionsFile, WateroptionsLines(options, waterImage));
    StageOptionFile(staging, workFolder, kWinoptionsFile,
                    WinoptionsLines(options, paths.documentPath));
    if (secondImage) {
        staging.Add(options.secondimage, SecondImageEntryName(options));
        StageOptionFile(staging, workFolder, kTrmack2File, Trmack2Lines(options));
    }

    PrepareOutput(paths.outputPath, output, steps);
    WriteStub(options, *output, steps, sink);

    steps.Start("writing the option files");
    if (firstImage) {
        staging.Add(options.firstimage, FirstImageEntryName(options));
        StageOptionFile(staging, workFolder, kTrmack1File, Trmack1Lines(options));
    }
    StageFonts(options, paths.fontsFolder, staging);
    StageOptionFile(staging, workFolder, kTrmacke1File, Trmacke1Lines(options));
    StageOptionFile(staging, workFolder, kTrmacke2File, Trmacke2Lines(options));

    sink.WorkMeasured(ProgressMaximumFor(staging.stagedSize()));

    File& file = output->file();
    Pause(pause, milliseconds(100));
    steps.Start("appending the document");
    AppendDocumentTo(paths.sourcePath, file, sink);
    StopIfCancelled(sink);
    Pause(pause, milliseconds(100));
    steps.Start("appending the package");
    AppendPackageInParallel(file, staging.sources(), staging.names(), sink);
    StopIfCancelled(sink);
    Pause(pause, milliseconds(100));
    steps.Start("appending the end marker");
    AppendEndMarkerTo(file);
}

// Signs the output under its temporary name and reads it back: the signature must hold and the
// player must find its payload in front of it.
void SignOutput(const OutputSigner& signer, ReplacementFile& output, Steps& steps) {
    steps.Start("signing the output");
    signer.Sign(output.file());
    steps.Start("checking the signed output");
    CheckSignedOutputForPlayer(output.temporaryPath());
}

// Reads the finished output back as the player will, signs it when asked, writes the autorun file
// when asked and renames the output over its final path, then the autorun file over Autorun.inf,
// so that an Autorun.inf never names an executable that is not there. Throws the failing step's
// error; once the output is in place, an autorun file that cannot follow it is a warning.
void FinishOutput(const OptionSet& options, ReplacementFile& output, const OutputSigner* signer,
                  Steps& steps, ConversionSink& sink) {
    steps.Start("checking the finished output");
    CheckOutputForPlayer(output.temporaryPath());
    if (signer != nullptr) {
        StopIfCancelled(sink);
        SignOutput(*signer, output, steps);
    }
    std::optional<AutorunFile> autorun;
    if (options.autorun) {
        steps.Start("writing Autorun.inf");
        autorun.emplace(output.finalPath());
    }
    steps.Start("replacing " + output.finalPath());
    StopIfCancelled(sink);
    output.Commit(true);
    if (autorun) {
        try {
            autorun->Commit();
        } catch (const std::exception& e) {
            sink.Warn(std::string("Autorun.inf could not be put in place beside the output (") +
                      e.what() + ")");
        }
    }
}

}  // namespace

bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   std::string& cause, const OutputSigner* signer, const StepPause& pause) {
    const std::string outputName = FileNameOf(paths.outputPath);
    sink.StageReached(JobStage::Preparing, outputName);
    sink.StageReached(JobStage::Writing, outputName);

    // Any error on the way fails this document only; the work folder and the temporary output
    // go whatever happened, and nothing is ever left under the final name unless converted.
    Steps steps(paths);
    std::optional<ReplacementFile> output;
    bool converted = false;
    cause.clear();
    try {
        steps.Start("making the work folder");
        std::optional<RunFolder> workFolder(std::in_place, NewWorkFolderPath());
        WriteOutput(options, paths, workFolder->path(), output, steps, sink, pause);
        Pause(pause, milliseconds(10));
        workFolder.reset();
        StopIfCancelled(sink);
        FinishOutput(options, *output, signer, steps, sink);
        converted = true;
    } catch (const std::exception& e) {
        Pause(pause, milliseconds(10));
        cause = sink.CancelRequested() ? std::string("cancelled") : steps.Cause(e.what());
    }
    output.reset();
    sink.StageReached(JobStage::Finished, outputName);
    return converted;
}

bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   const OutputSigner* signer) {
    std::string cause;
    return RunConversion(options, paths, sink, cause, signer);
}

JobStepHookScope::JobStepHookScope(WriteStepHook& hook) : previous_(t_stepHook) {
    t_stepHook = &hook;
}

JobStepHookScope::~JobStepHookScope() {
    t_stepHook = previous_;
}

}  // namespace quorlix
