#pragma once

#include <string>

#include "common/byte_source.h"
#include "common/payload_reader.h"
#include "stub/document_output.h"

namespace quorlix {

// Once the document is closed, when the reader changed it: asks whether to keep the changes,
// opens a Save dialog in this output's folder with "NAME (changed).exe" filled in, and writes
// there this output with the changed document in it, whole or not at all. A failed save is shown
// and the dialog offered again; nothing is asked when the document is unchanged. `self` is this
// output's file, which `reader` reads.
void OfferToKeepChanges(const PayloadReader& reader, ByteSource& self, const std::wstring& ownPath,
                        const OriginalDocument& document);

}  // namespace quorlix
