#pragma once

#include "common/byte_source.h"
#include "common/section_document.h"

namespace quorlix {

// Whether the document now in `current` differs from the one an output carries: another length
// or other bytes. Both are read a chunk at a time, and the reading stops at the first
// difference. Damage in the output throws PayloadError, failures of `current` what it throws.
bool DocumentDiffers(const SectionDocument& original, ByteSource& current);

}  // namespace quorlix
