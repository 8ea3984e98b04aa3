#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

std::uint32_t GetBE32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
    }
    return value;
}

// An RGBA PNG image read back with zlib: its size and its pixels row by row.
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<Rgba> pixels;

    Rgba at(std::uint32_t x, std::uint32_t y) const { return pixels.at(y * width + x); }
};

Picture ReadPng(const std::string& path) {
    const std::string bytes = test::ReadFile(path);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    Picture picture;
    std::string compressed;
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint32_t length = GetBE32(bytes, at);
        const std::string kind = bytes.substr(at + 4, 4);
        const std::string data = bytes.substr(at + 8, length);
        EXPECT_EQ(GetBE32(bytes, at + 8 + length),
                  crc32(crc32(0, reinterpret_cast<const Bytef*>(kind.data()), 4),
                        reinterpret_cast<const Bytef*>(data.data()), length))
            << kind;
        if (kind == "IHDR") {
            picture.width = GetBE32(data, 0);
            picture.height = GetBE32(data, 4);
            EXPECT_EQ(data.substr(8), std::string("\x08\x06\x00\x00\x00", 5));  // 8-bit RGBA
        } else if (kind == "IDAT") {
            compressed += data;
        }
        at += 12 + length;
    }
    std::vector<std::uint8_t> raw(picture.height * (1 + 4 * picture.width));
    uLongf rawSize = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(compressed.data()),
                         compressed.size()),
              Z_OK);
    EXPECT_EQ(rawSize, raw.size());
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        const std::uint8_t* row = raw.data() + y * (1 + 4 * picture.width);
        EXPECT_EQ(row[0], 0) << "row " << y << " uses a filter";
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = row + 1 + 4 * x;
            picture.pixels.push_back({p[0], p[1], p[2], p[3]});
        }
    }
    return picture;
}

// The image of that size in the default icon file, as the colours a desktop shows: 8-bit
// palette indexes, the AND mask making pixels transparent.
Picture IcoImage(std::uint32_t size) {
    const std::string file = test::ReadFile(QUORLIX_DEFAULT_ICON_FILE);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    const std::uint16_t count = GetLE16(bytes + 4);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = bytes + 6 + 16 * i;
        if (entry[0] != size) {
            continue;
        }
        const std::uint8_t* header = bytes + GetLE32(entry + 12);
        EXPECT_EQ(GetLE16(header + 14), 8);
        const std::uint8_t* palette = header + 40;
        const std::uint8_t* xorBits = palette + 4 * 256;
        const std::uint8_t* andBits = xorBits + size * size;
        const std::uint32_t maskStride = (size + 31) / 32 * 4;
        Picture picture{size, size, {}};
        for (std::uint32_t y = 0; y < size; ++y) {
            const std::uint32_t row = size - 1 - y;  // bottom-up
            for (std::uint32_t x = 0; x < size; ++x) {
                const bool clear = andBits[row * maskStride + x / 8] & (0x80 >> (x % 8));
                const std::uint8_t* c = palette + 4 * xorBits[row * size + x];
                picture.pixels.push_back(clear ? Rgba{0, 0, 0, 0} : Rgba{c[2], c[1], c[0], 255});
            }
        }
        return picture;
    }
    ADD_FAILURE() << "no " << size << " px image in the default icon file";
    return {};
}

TEST(DesktopIcons, SmallRenditionsShowTheDefaultIconPixelForPixel) {
    for (const std::uint32_t size : {16u, 32u, 48u}) {
        const Picture png =
            ReadPng(std::string(QUORLIX_ICON_DIR) + "/" + std::to_string(size) + ".png");
        const Picture ico = IcoImage(size);
        ASSERT_EQ(png.width, size);
        ASSERT_EQ(png.height, size);
        EXPECT_EQ(png.pixels, ico.pixels) << size << " px";
    }
}

TEST(DesktopIcons, LargeRenditionIsTheSameDesignWithSmoothEdges) {
    const Picture png = ReadPng(std::string(QUORLIX_ICON_DIR) + "/256.png");
    ASSERT_EQ(png.width, 256u);
    ASSERT_EQ(png.height, 256u);
    EXPECT_EQ(png.at(0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(png.at(250, 10), (Rgba{0, 0, 0, 0}));          // the cut corner
    EXPECT_EQ(png.at(70, 40), (Rgba{255, 255, 255, 255}));   // page
    EXPECT_EQ(png.at(43, 128), (Rgba{40, 70, 140, 255}));    // outline, 5 px wide
    EXPECT_EQ(png.at(165, 60), (Rgba{210, 220, 240, 255}));  // folded corner
    EXPECT_EQ(png.at(128, 143), (Rgba{230, 150, 30, 255}));  // play mark
    // Pixels along the edges are blended, partly covered.
    int blended = 0;
    for (const Rgba& p : png.pixels) {
        blended += p[3] != 0 && p[3] != 255;
    }
    EXPECT_GT(blended, 100);

    const std::string svg = test::ReadFile(std::string(QUORLIX_ICON_DIR) + "/scalable.svg");
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    for (const char* colour : {"#ffffff", "#28468c", "#d2dcf0", "#e6961e", "#aa640a"}) {
        EXPECT_NE(svg.find(colour), std::string::npos) << colour;
    }
}

}  // namespace
}  // namespace quorlix
