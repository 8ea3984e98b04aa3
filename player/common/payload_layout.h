#pragma once

// The layout of an output executable, shared by the writer and every reader:
//
//   +-------------+------------------+---------+---------+---------+------------------+
//   | player stub | document section | D + 4   | package | P       | 256 x 0x0E       |
//   |             | D bytes,scrambled| (u32)   | P bytes | (u32)   | end marker       |
//   +-------------+------------------+---------+---------+---------+------------------+
//
//   package = entries (u32 uncompressed size + zlib stream each), directory text
//             ("name|record length" CR LF per entry), u32 directory length L, "zsf" 0x01.

#include <cstddef>
#include <cstdint>

namespace quorlix {

inline constexpr std::size_t kEndMarkerSize = 256;
inline constexpr std::uint8_t kEndMarkerByte = 0x0E;
// The reader looks for the end marker in this many bytes at the end of the file.
inline constexpr std::size_t kEndMarkerSearchSpan = 100001;

inline constexpr std::uint8_t kPackageSignature[4] = {0x7A, 0x73, 0x66, 0x01};

// Chunk size of the document copy and the package copy; a multiple of the scramble key length.
inline constexpr std::size_t kCopyChunkSize = 61440;
// Size of the compressor's output block.
inline constexpr std::size_t kCompressorBlockSize = 65536;

}  // namespace quorlix
