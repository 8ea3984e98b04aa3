#include "input_generator.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "platform/file.h"

namespace quorlix::bench {

namespace {

constexpr std::size_t kBlockSize = 65536;
constexpr std::uint64_t kMiB = 1024 * 1024;

// A small deterministic pseudo-random generator (SplitMix64).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    void Fill(std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; i += 8) {
            const std::uint64_t value = Next();
            for (std::size_t k = 0; k < 8 && i + k < count; ++k) {
                bytes[i + k] = static_cast<std::uint8_t>(value >> (8 * k));
            }
        }
    }

private:
    std::uint64_t state_;
};

// Writes size bytes to path, one block at a time as fill(block index, block) makes them.
void WriteBlocks(const std::string& path, std::uint64_t size,
                 const std::function<void(std::uint64_t, std::vector<std::uint8_t>&)>& fill) {
    File file = File::Open(path, File::Mode::CreateTruncate);
    std::vector<std::uint8_t> block(kBlockSize);
    for (std::uint64_t index = 0, done = 0; done < size; ++index) {
        fill(index, block);
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, size - done));
        file.WriteAll(block.data(), count);
        done += count;
    }
    file.Close();
}

// Fills the block with numbered lines of one sentence.
void FillText(std::uint64_t index, std::vector<std::uint8_t>& block) {
    std::size_t at = 0;
    char line[96];
    for (std::uint64_t n = index * 1000; at < block.size(); ++n) {
        const int length = std::snprintf(
            line, sizeof line, "Paragraph %llu: the quarterly report lists every office.\r\n",
            static_cast<unsigned long long>(n));
        const std::size_t count = std::min(block.size() - at, static_cast<std::size_t>(length));
        std::copy_n(line, count, block.begin() + static_cast<std::ptrdiff_t>(at));
        at += count;
    }
}

}  // namespace

void WriteDocument(const std::string& path, std::uint64_t size) {
    Random random(size);
    WriteBlocks(path, size, [&](std::uint64_t index, std::vector<std::uint8_t>& block) {
        if (index % 2 == 0) {
            random.Fill(block.data(), block.size());
        } else {
            FillText(index, block);
        }
    });
}

void WritePicture(const std::string& path, std::uint64_t size, std::uint64_t seed) {
    Random random(seed);
    WriteBlocks(path, size, [&](std::uint64_t index, std::vector<std::uint8_t>& block) {
        random.Fill(block.data(), block.size());
        if (index % 16 == 0) {
            // A smooth stretch, as in a sky or a flat background.
            for (std::size_t i = 0; i < block.size() / 4; ++i) {
                block[i] = static_cast<std::uint8_t>(i / 64);
            }
        }
    });
}

void WriteFont(const std::string& path, std::uint64_t size, std::uint64_t seed) {
    Random random(seed);
    std::uint32_t glyph = 0;
    WriteBlocks(path, size, [&](std::uint64_t index, std::vector<std::uint8_t>& block) {
        if (index % 8 == 7) {
            FillText(index, block);
            return;
        }
        // Glyph records of 16 bytes: id, advance, bearing and outline points of few bits.
        for (std::size_t at = 0; at + 16 <= block.size(); at += 16, ++glyph) {
            const std::uint64_t r = random.Next();
            block[at] = static_cast<std::uint8_t>(glyph);
            block[at + 1] = static_cast<std::uint8_t>(glyph >> 8);
            block[at + 2] = static_cast<std::uint8_t>(0x80 | (r & 0x3F));
            block[at + 3] = 0x02;
            block[at + 4] = static_cast<std::uint8_t>((r >> 6) & 0x0F);
            block[at + 5] = 0;
            for (std::size_t k = 6; k < 16; ++k) {
                block[at + k] = static_cast<std::uint8_t>((r >> (10 + 3 * (k - 6))) & 0x07);
            }
        }
    });
}

PackageFiles WritePackageFiles(const std::string& folder) {
    PackageFiles files;
    const char* pictureNames[] = {"watermark.png", "logo2.jpg", "logo1.jpg"};
    for (std::uint64_t i = 0; i < 3; ++i) {
        const std::string path = folder + "/" + pictureNames[i];
        WritePicture(path, 8 * kMiB, 100 + i);
        files.pictures.push_back(path);
        files.totalSize += 8 * kMiB;
    }
    for (std::uint64_t i = 0; i < 10; ++i) {
        const std::string path = folder + "/font" + std::to_string(i + 1) + ".ttf";
        WriteFont(path, 4 * kMiB, 200 + i);
        files.fonts.push_back(path);
        files.totalSize += 4 * kMiB;
    }
    return files;
}

}  // namespace quorlix::bench
