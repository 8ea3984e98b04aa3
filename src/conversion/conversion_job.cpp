#include "conversion/conversion_job.h"

#include <exception>

#include "conversion/autorun_file.h"
#include "conversion/option_files.h"
#include "conversion/progress_counters.h"
#include "conversion/staging_list.h"
#include "package/icon_replacement.h"
#include "package/output_assembly.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/guid.h"
#include "platform/temp_folder.h"

namespace quorlix {

namespace {

constexpr int kOutputLabelWidth = 345;

// A fresh work folder for the option files: <temporary folder>dorvane/temp/{GUID}.
std::string MakeWorkFolder() {
    std::string temp = TempFolderPath();
    temp.pop_back();
    const std::string guid = NewGuidText();
    if (guid.empty()) {
        // Without a name of its own the job would later delete the shared parent folder.
        throw Error("No GUID for the work folder");
    }
    const std::string folder = temp + "/dorvane/temp/" + guid;
    CreateFolders(folder);
    return folder;
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
    for (const FontEntry& entry : options.embedfontlist) {
        for (const std::string& file : FontEntryFiles(entry)) {
            const std::string source = ResolveFontFile(file, fontsFolder);
            staging.Add(source, "myfont\\" + FileNameOf(source));
        }
    }
}

// The icon step: any failure leaves the stub's own icon.
void ReplaceIconIfAsked(const OptionSet& options, const std::string& outputPath) {
    if (!options.changeicon || !FileExists(options.iconfilename)) {
        return;
    }
    try {
        ReplaceMainIcon(outputPath, options.iconfilename);
    } catch (const std::exception&) {
    }
}

// Stages every option file and picture, writes the stub and appends document, package and end
// marker. Returns whether the stub was written and everything appended.
bool WriteOutput(const OptionSet& options, const ConversionPaths& paths,
                 const std::string& workFolder, ConversionSink& sink) {
    StagingList staging(FileSizeOf(paths.sourcePath));
    const bool firstImage = options.showfirstimage && FileExists(options.firstimage);
    const bool secondImage = options.showsecondimage && FileExists(options.secondimage);
    StageOptionFile(staging, workFolder, kWinsetbrowerFile,
                    WinsetbrowerLines(options, paths.sourcePath, firstImage, secondImage));

    const bool waterImage = options.watertype == 2 && FileExists(options.waterimagefile);
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

    const bool stubWritten = ExtractStub("exefile", "head", paths.outputPath);
    if (stubWritten) {
        ReplaceIconIfAsked(options, paths.outputPath);
    }

    if (firstImage) {
        staging.Add(options.firstimage, FirstImageEntryName(options));
        StageOptionFile(staging, workFolder, kTrmack1File, Trmack1Lines(options));
    }
    StageFonts(options, paths.fontsFolder, staging);
    StageOptionFile(staging, workFolder, kTrmacke1File, Trmacke1Lines(options));
    StageOptionFile(staging, workFolder, kTrmacke2File, Trmacke2Lines(options));

    const std::int32_t maximum = ProgressMaximumFor(staging.stagedSize());
    sink.SetBarPosition(0);
    sink.SetBarMaximum(maximum);
    sink.SetProgressMaximum(maximum);

    sink.Pause(100);
    bool appended = AppendDocument(paths.sourcePath, paths.outputPath, sink);
    sink.Pause(100);
    if (appended) {
        appended = AppendPackage(paths.outputPath, staging.sources(), staging.names(), sink);
    }
    sink.Pause(100);
    if (appended) {
        appended = AppendEndMarker(paths.outputPath);
    }
    return stubWritten && appended;
}

}  // namespace

bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink) {
    sink.SetUpperLabel("preparing..", std::nullopt);
    sink.ProcessMessages();
    sink.ClearCancel();
    sink.SetUpperLabel(FileNameOf(paths.outputPath), kOutputLabelWidth);

    // Any error on the way (a folder or option file that cannot be written, a staged file that
    // cannot be read) fails this document only; the clean-up below runs whatever happened.
    std::string workFolder;
    bool written = false;
    try {
        workFolder = MakeWorkFolder();
        written = WriteOutput(options, paths, workFolder, sink);
    } catch (const std::exception&) {
        written = false;
    }

    sink.Pause(10);
    if (!workFolder.empty()) {
        DeleteFolder(workFolder);
    }

    bool converted = written && !sink.CancelRequested();
    // The autorun file only names an output that is complete; one that cannot be written fails
    // the document rather than leaving a disc without its start file.
    if (converted && options.autorun) {
        try {
            WriteAutorunFile(paths.outputPath);
        } catch (const std::exception&) {
            converted = false;
        }
    }
    sink.SetUpperLabel("", std::nullopt);
    if (!converted && FileExists(paths.outputPath)) {
        DeleteFile(paths.outputPath);
    }
    sink.Close();
    return converted;
}

}  // namespace quorlix
