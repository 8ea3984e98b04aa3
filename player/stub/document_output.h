#pragma once

#include <string>

#include "stub/staging_folder.h"

namespace quorlix {

// Reads the staged copy at `stagedCopy` (a container stream), takes the original document out
// and writes it under its own file name into `folder`; returns the document's path. Throws
// CompoundFileError when no document can be taken out, StubError when a file fails.
std::wstring WriteOriginalDocument(const std::wstring& stagedCopy, const StagingFolder& folder);

}  // namespace quorlix
