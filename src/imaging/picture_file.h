#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlix {

// The largest picture file read: a 64-megapixel bitmap of 32 bits with room for its headers.
inline constexpr std::uint64_t kMaxPictureFileBytes = 257ull * 1024 * 1024;

// Reads a whole picture file without locking it. Only a regular file is read: a FIFO, device or
// folder is refused at once without blocking (quorlix::Error), as is a file larger than
// kMaxPictureFileBytes; open and read failures throw std::system_error.
std::vector<std::uint8_t> ReadPictureFile(const std::string& path);

}  // namespace quorlix
