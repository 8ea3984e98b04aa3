#pragma once

#include <string>

#include "conversion/conversion_sink.h"
#include "conversion/option_set.h"
#include "platform/installed_fonts.h"

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

// Turns one staged document and the option set into a complete output executable. Returns the
// converted flag; when it returns, the output is complete or gone, the work folder is gone, the
// sink has its failure cause and has been asked to close. The output is written under a
// temporary name beside the final path and renamed over it only once it is whole and the
// player's reader accepts it, so a failure leaves an older output of that name as it was. With a
// signer the output is signed under its temporary name and renamed only once its signature and
// layout have been read back and found good. Never throws.
bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   const OutputSigner* signer = nullptr);

// The same, giving the cause of a failure (the step and the system's text; "cancelled" after a
// cancel), empty when converted.
bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink,
                   std::string& cause, const OutputSigner* signer = nullptr);

}  // namespace quorlix
