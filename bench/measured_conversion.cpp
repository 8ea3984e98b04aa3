#include <string>
#include <vector>

#include "conversion/conversion_job.h"
#include "conversion/convert_documents.h"
#include "conversion/progress_counters.h"
#include "measured_case.h"
#include "platform/document_container.h"
#include "platform/error.h"

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

// The command line's front end without output: default options, the job run directly, each
// finished output handed back to be put in place while the next document converts.
class QuietFrontEnd : public ConvertFrontEnd {
public:
    explicit QuietFrontEnd(const OutputSigner* signer) : signer_(signer) {}
    OptionSet OptionsFor(const std::string&) override { return {}; }
    DocumentResult ConvertOne(const OptionSet& options, const ConversionPaths& paths) override {
        ProgressCounters sink;
        std::string cause;
        std::unique_ptr<FinishedOutput> finished =
            RunConversionToCommit(options, paths, sink, cause, signer_);
        if (!finished) {
            return DocumentResult(false, cause);
        }
        return DocumentResult(std::move(finished));
    }
    bool CancelRequested() const override { return false; }

private:
    const OutputSigner* signer_;
};

}  // namespace

std::uint64_t RunBatchConversion(const std::vector<std::string>& documents,
                                 const std::string& outputFolder, const OutputSigner* signer) {
    QuietFrontEnd frontEnd(signer);
    const ConvertOutcome outcome = ConvertDocuments(documents, outputFolder, false, frontEnd);
    if (!outcome.failures.empty()) {
        throw Error("batch conversion failed: " + outcome.failures.front().cause);
    }
    return documents.size();
}

// The conversion as the command line runs it: the document embedded and its staged copy made,
// then the conversion job with every package file chosen as a picture or a font, its output in
// the case folder. Returns the staged copy's size, which the least work writes too.
std::uint64_t RunMeasuredConversion(const CaseInputs& inputs) {
    DocumentContainer container;
    container.SetCannotDeactivate(true);
    container.CreateObjectFromFile(inputs.documentPath);
    ConversionPaths paths;
    paths.documentPath = inputs.documentPath;
    paths.stagedCopy = container.Save();
    paths.outputPath = inputs.caseFolder + "/output.exe";
    ProgressCounters sink;
    if (!RunConversion(OptionsFor(*inputs.packageFiles), paths, sink)) {
        throw Error("conversion failed");
    }
    return paths.stagedCopy->size();
}

}  // namespace quorlix::bench
