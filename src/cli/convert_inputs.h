#pragma once

#include <ostream>
#include <string>

#include "cli/arguments.h"
#include "conversion/document_list.h"
#include "conversion/option_set.h"

namespace quorlix {

// The option set of a convert command line: the initial values, with --defaults the stored
// defaults loaded over them as at the window's start (notices go to err), then every --set
// NAME=VALUE in order, --autorun, and each --embed-font NAME (a display name from the installed
// fonts list), which turns embedfonts on and adds that font. Throws UsageError naming a bad
// field, value or font.
OptionSet ConvertOptionsFrom(const ParsedArguments& args, std::ostream& err);

// The document list of a convert command line: a file argument as "Add files" adds it (only
// .doc and .docx, a path given twice counts once), a folder argument as "Add Folder" scans it.
// Throws UsageError for a path that does not exist or a file that is not a Word document.
DocumentList ConvertDocumentsFrom(const ParsedArguments& args);

// The output folder text: the folder given with a trailing '/'; empty when none was given.
std::string OutputFolderText(const std::string& folder);

// The Convert command's checks, in their order: the watermark image, a non-empty document list
// (documentsGiven: some paths were named), an output folder that exists and takes new files.
// Throws UsageError with the first failing check's message, in the command line's own words.
void CheckConvertInputs(const OptionSet& options, const DocumentList& documents,
                        const std::string& outputFolder, bool documentsGiven);

}  // namespace quorlix
