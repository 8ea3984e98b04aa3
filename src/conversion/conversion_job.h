#pragma once

#include <string>

#include "conversion/conversion_sink.h"
#include "conversion/option_set.h"
#include "platform/installed_fonts.h"

namespace quorlix {

// The three paths one conversion reads.
struct ConversionPaths {
    std::string documentPath;  // the Word document as the document list holds it
    std::string sourcePath;    // the staged copy that is packed as the document
    std::string outputPath;    // the output executable to write
    // Where a font file that is not found under its own text is looked for.
    std::string fontsFolder = SystemFontsFolder();
};

// Turns one staged document and the option set into a complete output executable. Returns the
// converted flag; when it returns, the output is complete or gone, the work folder is gone and
// the sink has been asked to close. Never throws.
bool RunConversion(const OptionSet& options, const ConversionPaths& paths, ConversionSink& sink);

}  // namespace quorlix
