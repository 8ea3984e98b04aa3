#pragma once

#include <cstdint>

#include "common/byte_sink.h"
#include "common/embedded_document.h"
#include "common/package_object.h"
#include "common/payload_reader.h"
#include "common/stream_content.h"

namespace quorlix {

// The names a Package object was stored with, as read: a section rebuilt with them differs from
// the original only in the document's bytes. The UTF-16 names are empty for an object without
// a Unicode tail.
PackageObjectNames StoredNames(const DocumentPlace& place);

// Writes the document section that carries a document under these names: the container stream
// of a Package object holding it, scrambled; the converter's staged copy scrambled gives the
// same bytes. Returns its length D. Throws quorlix::Error when the document is too large.
std::uint64_t WriteDocumentSection(const PackageObjectNames& names, StreamContent document,
                                   ByteSink& sink);

// Writes the output that `reader` reads with another document in it: the same player stub, the
// new document section and its trailer D + 4, then the package, its trailer and the end marker
// as stored. A code signature after the end marker is left behind, and the stub's certificate
// table entry and header checksum are cleared: the new output is not signed. Errors of the reader's
// source and of the document's pieces travel on.
void WriteOutputWithDocument(const PayloadReader& reader, const PackageObjectNames& names,
                             StreamContent document, ByteSink& sink);

}  // namespace quorlix
