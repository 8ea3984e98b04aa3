#pragma once

// The benchmark's inputs, made by a deterministic generator: a document of mixed content and
// package files of mixed compressibility (pictures that hardly compress, fonts that do).

#include <cstdint>
#include <string>
#include <vector>

namespace quorlix::bench {

// The generated package files.
struct PackageFiles {
    std::vector<std::string> pictures;
    std::vector<std::string> fonts;
    std::uint64_t totalSize = 0;
};

// Writes a document of exactly size bytes: 64 KiB blocks alternating between random bytes and
// repetitive text.
void WriteDocument(const std::string& path, std::uint64_t size);

// Writes 3 pictures of 8 MiB and 10 fonts of 4 MiB (64 MiB in all) into folder.
PackageFiles WritePackageFiles(const std::string& folder);

// Writes a picture: random bytes with now and then a smooth stretch, which deflate barely shrinks.
void WritePicture(const std::string& path, std::uint64_t size, std::uint64_t seed);

// Writes a font: tables of small structured records and name text, which deflate shrinks well.
void WriteFont(const std::string& path, std::uint64_t size, std::uint64_t seed);

}  // namespace quorlix::bench
