#include <string>
#include <vector>

#include "conversion/conversion_job.h"
#include "conversion/convert_documents.h"
#include "conversion/progress_counters.h"
#include "measured_case.h"
#include "platform/document_container.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/run_folder.h"

namespace quorlix::bench {

namespace {

// The three pictures as watermark image, second and first image; the fonts as embedded fonts.
OptionSet OptionsFor(const PackageFiles& files) {
    OptionSet options;
    const std::vector<std::string>& pictures = files.pictures;
    if (pictures.size() > 0) {
        options.watertype = 2;
        options.waterimagefile = pictures[0];
    }
    if (pictures.size() > 1) {
        options.showsecondimage = true;
        options.secondimage = pictures[1];
    }
    if (pictures.size() > 2) {
        options.showfirstimage = true;
        options.firstimage = pictures[2];
    }
    options.embedfonts = !files.fonts.empty();
    for (const std::string& font : files.fonts) {
        options.embedfontlist.push_back(
            {"Font " + std::to_string(options.embedfontlist.size()), font});
    }
    return options;
}

// The command line's front end without output: default options, the job run directly.
class QuietFrontEnd : public ConvertFrontEnd {
public:
    explicit QuietFrontEnd(const OutputSigner* signer) : signer_(signer) {}
    OptionSet OptionsFor(const std::string&) override { return {}; }
    bool ConvertOne(const OptionSet& options, const ConversionPaths& paths,
                    std::string& cause) override {
        ProgressCounters sink;
        return RunConversion(options, paths, sink, cause, signer_);
    }
    bool CancelRequested() const override { return false; }

private:
    const OutputSigner* signer_;
};

}  // namespace

std::uint64_t RunBatchConversion(const std::vector<std::string>& documents,
                                 const std::string& outputFolder, const std::string& runFolder,
                                 const OutputSigner* signer) {
    QuietFrontEnd frontEnd(signer);
    const ConvertOutcome outcome =
        ConvertDocuments(documents, outputFolder, false, StagedCopyPath(runFolder), frontEnd);
    if (!outcome.failures.empty()) {
        throw Error("batch conversion failed: " + outcome.failures.front().cause);
    }
    return documents.size();
}

// The conversion as the command line runs it: the document embedded and saved as the staged copy,
// then the conversion job with every package file chosen as a picture or a font. The staged copy
// lies in the case folder, which is deleted after the measurement as the least work's files are
// (TMPDIR is the case folder too, so the job's work folder goes with it). Returns the staged
// copy's size, which the least work writes too.
std::uint64_t RunMeasuredConversion(const CaseInputs& inputs) {
    const std::string staged = StagedCopyPath(inputs.caseFolder);
    DocumentContainer container;
    container.SetCannotDeactivate(true);
    container.CreateObjectFromFile(inputs.documentPath);
    container.SaveToFile(staged);

    const ConversionPaths paths{inputs.documentPath, staged, inputs.caseFolder + "/output.exe"};
    ProgressCounters sink;
    if (!RunConversion(OptionsFor(*inputs.packageFiles), paths, sink)) {
        throw Error("conversion failed");
    }
    return File::Open(staged, File::Mode::Read).Size();
}

}  // namespace quorlix::bench
