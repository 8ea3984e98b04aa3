#pragma once

#include <vector>

#include "common/payload_reader.h"
#include "stub/staging_folder.h"

namespace quorlix {

// The document's file name in the staging folder: the staged copy as the converter saved it.
inline constexpr wchar_t kStagedDocumentName[] = L"~~~.txt";

// Which package entries were written whole, by their index in the package.
using StagedEntries = std::vector<bool>;

// Writes the unscrambled document section and every package entry, under its name, into the
// folder. An entry whose data is damaged is left out (and logged), as if it were missing. Throws
// PayloadError for an entry name that is not a plain relative file name (or is the document's),
// StubError when a file cannot be written.
StagedEntries StagePayload(const PayloadReader& reader, const StagingFolder& folder);

}  // namespace quorlix
