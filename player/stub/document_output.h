#pragma once

#include <string>

#include "common/embedded_document.h"
#include "stub/staging_folder.h"

namespace quorlix {

// The document taken out of the output: the file it was written to and how it was embedded.
struct OriginalDocument {
    std::wstring path;
    DocumentPlace place;
};

// Reads the staged copy at `stagedCopy` (a container stream), takes the original document out
// and writes it under its own file name into `folder`. Throws CompoundFileError when no document
// can be taken out, StubError when a file fails.
OriginalDocument WriteOriginalDocument(const std::wstring& stagedCopy, const StagingFolder& folder);

}  // namespace quorlix
