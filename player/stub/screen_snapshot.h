#pragma once

#include <string>

namespace quorlix {

// Writes what the whole virtual screen shows into a 24-bit bottom-up BMP file; false when it
// cannot.
bool WriteScreenBitmap(const std::wstring& path);

}  // namespace quorlix
