#include <string>
#include <vector>

#include "measured_case.h"
#include "null_sink.h"
#include "package/chunked_copy.h"
#include "package/output_assembly.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/temp_folder.h"

namespace quorlix::bench {

namespace {

void Require(bool ok, const std::string& step) {
    if (!ok) {
        throw Error("conversion failed: " + step);
    }
}

// Stands in for embedding the document and saving the staged copy: a chunked plain copy.
void CopyFile(const std::string& sourcePath, const std::string& targetPath, ProgressSink& sink) {
    File source = File::Open(sourcePath, File::Mode::Read);
    File target = File::Open(targetPath, File::Mode::CreateTruncate);
    if (source.Size() > 0) {
        CopyInChunks(source, 0, sink,
                     [&](std::uint8_t* chunk, std::size_t size) { target.WriteAll(chunk, size); });
    }
    target.Close();
}

// Appends the package files under the names the conversion job gives them: the three pictures
// as watermark, second and first image, the fonts as embedded fonts.
void AppendPackageFiles(const PackageFiles& files, const std::string& outputPath,
                        ProgressSink& sink) {
    std::vector<std::string> sources = files.pictures;
    std::vector<std::string> names = {"option\\wateroptionimage.dll", "option\\2.jpg",
                                      "option\\1.jpg"};
    names.resize(sources.size());
    for (const std::string& font : files.fonts) {
        sources.push_back(font);
        names.push_back("myfont\\" + font.substr(font.find_last_of('/') + 1));
    }
    Require(AppendPackage(outputPath, sources, names, sink), "AppendPackage");
}

}  // namespace

// The conversion measured: the one function to change when the staged copy writer and the
// conversion job arrive. Nothing else in the benchmark depends on how it converts; the least
// work adapts to the staged copy's size that this returns.
//
// Now: a plain copy of the document stands in for the staged copy, then the output assembly
// steps (ExtractStub, AppendDocument, AppendPackage, AppendEndMarker) run with a sink that does
// nothing.
//
// Later, replace the body with:
//   1. The document container (TOleContainerAc, or the quorlix_core staged copy writer beneath
//      it: this program links quorlix_core only, no Qt) creates the embedded object from
//      inputs.documentPath and saves itself to `staged`. The job's work folder lands in the
//      case folder too, through TMPDIR, and goes with it.
//   2. An option set whose watermark image (watertype 2), second and first image (with
//      showsecondimage, showfirstimage) are packageFiles->pictures[0], [1] and [2], and whose
//      embedfontlist holds packageFiles->fonts with embedfonts set; then
//      Require(RunConversion(options, inputs.documentPath, staged, output, sink), "RunConversion").
//      Its pauses between the steps count as conversion time.
//   3. Return the staged copy's size, as now.
std::uint64_t RunMeasuredConversion(const CaseInputs& inputs) {
    // The staged copy's place in the real flow; TMPDIR is the case folder during the run.
    const std::string staged = TempFolderPath() + "~~~.txt";
    const std::string output = inputs.caseFolder + "/output.exe";
    NullSink sink;
    CopyFile(inputs.documentPath, staged, sink);
    Require(ExtractStub("exefile", "head", output), "ExtractStub");
    Require(AppendDocument(staged, output, sink), "AppendDocument");
    AppendPackageFiles(*inputs.packageFiles, output, sink);
    Require(AppendEndMarker(output), "AppendEndMarker");
    return File::Open(staged, File::Mode::Read).Size();
}

}  // namespace quorlix::bench
