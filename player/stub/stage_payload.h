#pragma once

#include "common/payload_reader.h"
#include "stub/staging_folder.h"

namespace quorlix {

// The document's file name in the staging folder: the staged copy as the converter saved it.
inline constexpr wchar_t kStagedDocumentName[] = L"~~~.txt";

// Writes the unscrambled document section and every package entry, under its name, into the
// folder. Throws PayloadError for damaged data or an entry name that is not a plain relative file
// name (or is the document's), StubError when a file cannot be written.
void StagePayload(const PayloadReader& reader, const StagingFolder& folder);

}  // namespace quorlix
