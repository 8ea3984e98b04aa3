#include <string>
#include <vector>

#include "measured_case.h"
#include "null_sink.h"
#include "package/chunked_copy.h"
#include "package/output_assembly.h"
#include "platform/error.h"
#include "platform/file.h"

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

// THE CONVERSION MEASURED. This is the one function to change when the staged copy writer and
// the conversion job arrive; nothing else in the benchmark depends on how it converts.
//
// Now: a plain copy of the document stands in for the staged copy, then the output assembly
// steps (ExtractStub, AppendDocument, AppendPackage, AppendEndMarker) run with a sink that does
// nothing.
//
// Later, replace the body with:
//   1. A TOleContainerAc document container creates the embedded object from
//      inputs.documentPath and saves itself to the staged copy path below.
//   2. An option set with the three pictures as watermark image (watertype 2), second and first
//      image (showsecondimage, showfirstimage), and the fonts as embedfontlist with embedfonts
//      set; then Require(RunConversion(options, inputs.documentPath, staged, output, sink)).
//   3. Return the staged copy's size, as now.
std::uint64_t RunMeasuredConversion(const CaseInputs& inputs) {
    const std::string staged = inputs.caseFolder + "/~~~.txt";
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
