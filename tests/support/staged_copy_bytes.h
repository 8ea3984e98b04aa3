#pragma once

#include <string>

#include "platform/staged_copy.h"

namespace quorlix::test {

// The bytes of a staged copy: the container stream a file of it would hold.
std::string StagedCopyBytes(const StagedCopy& stagedCopy);

// The staged copy of the document at path (StageDocument), as bytes.
std::string StagedCopyBytesOf(const std::string& documentPath);

}  // namespace quorlix::test
