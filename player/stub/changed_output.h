#pragma once

#include <windows.h>

#include <string>

#include "common/byte_source.h"
#include "common/payload_reader.h"
#include "stub/document_output.h"

namespace quorlix {

// Whether the document at `path` differs from the one this output carries (`self` is this
// output's file, which `reader` reads); a document that cannot be read any more counts as
// unchanged.
bool DocumentChanged(const PayloadReader& reader, ByteSource& self, const std::wstring& path);

// Writes to `target`, whole or not at all, this output with the document at `document.path` in
// place of its own. Throws StubError for file errors, quorlix::Error for a document too large.
void WriteChangedOutput(const PayloadReader& reader, const OriginalDocument& document,
                        const std::wstring& target);

}  // namespace quorlix
