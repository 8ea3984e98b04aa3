#pragma once

#include <string>

namespace quorlix {

// The output executable's file name: the document's file name with its last extension
// replaced by ".exe" (report.final.docx gives report.final.exe).
std::string OutputNameFor(const std::string& documentPath);

// The document's file name without its last extension.
std::string BaseNameOf(const std::string& documentPath);

// The output executable's path for a document: outputFolder + name, or with the autorun
// option outputFolder + base + "/" + name. outputFolder ends with '/'.
std::string OutputPathFor(const std::string& outputFolder, const std::string& documentPath,
                          bool autorun);

}  // namespace quorlix
