#include <gtest/gtest.h>

#include <string>

#include "imaging/image_loading.h"
#include "platform/error.h"
#include "support/picture_bytes.h"

namespace quorlix {
namespace {

using test::Bytes;
using test::ByteWriter;
using test::ExpectDamaged;
using test::PixelAt;
using Rgba = std::array<std::uint8_t, 4>;

// A BITMAPINFOHEADER-style header of the given size (40, 108, 124), fields after 40 zero.
void InfoHeader(ByteWriter& w, std::uint32_t size, int width, int height, int bits,
                std::uint32_t compression, std::uint32_t colours = 0) {
    w.U32(size).I32(width).I32(height).U16(1).U16(bits).U32(compression).U32(0);
    w.U32(2835).U32(2835).U32(colours).U32(0);
    for (std::uint32_t i = 40; i < size; ++i) {
        w.U8(0);
    }
}

// A BMP file: file header, then the header, table and pixel bytes the caller wrote.
Bytes BmpFile(ByteWriter& dib, std::size_t pixelStart) {
    ByteWriter file;
    file.U8('B').U8('M').U32(static_cast<std::uint32_t>(14 + dib.size())).U32(0);
    file.U32(static_cast<std::uint32_t>(14 + pixelStart));
    file.Append(dib.bytes());
    return file.bytes();
}

// 3 x 2, 24 bits, bottom-up: every row padded to 12 bytes.
Bytes Bmp24() {
    ByteWriter w;
    InfoHeader(w, 40, 3, 2, 24, 0);
    const std::size_t start = w.size();
    w.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7).U8(8).U8(9).U8(0xEE).U8(0xEE).U8(0xEE);  // bottom
    w.U8(0).U8(0).U8(255).U8(0).U8(255).U8(0).U8(255).U8(0).U8(0).U8(0).U8(0).U8(0);     // top
    return BmpFile(w, start);
}

TEST(BitmapLoading, TrueColourRowsAndOrder) {
    const RgbaImage image = LoadImage(Bmp24());
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(image, 0, 1), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(PixelAt(image, 2, 1), (Rgba{9, 8, 7, 255}));

    // 32 bits top-down (negative height), no bit fields: the fourth byte is ignored.
    ByteWriter w;
    InfoHeader(w, 40, 2, -2, 32, 0);
    w.U32(0x00112233).U32(0x80445566).U32(0x00778899).U32(0xFFAABBCC);
    const RgbaImage top = LoadImage(BmpFile(w, 40));
    EXPECT_EQ(PixelAt(top, 0, 0), (Rgba{0x11, 0x22, 0x33, 255}));
    EXPECT_EQ(PixelAt(top, 1, 1), (Rgba{0xAA, 0xBB, 0xCC, 255}));
}

TEST(BitmapLoading, BitFieldsAndSixteenBits) {
    // 16 bits without fields: 5-5-5.
    ByteWriter a;
    InfoHeader(a, 40, 2, 1, 16, 0);
    a.U16(0x7C00).U16(0x03FF);
    const RgbaImage five = LoadImage(BmpFile(a, 40));
    EXPECT_EQ(PixelAt(five, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(five, 1, 0), (Rgba{0, 255, 255, 255}));
    // 16 bits with 5-6-5 fields after a 40-byte header.
    ByteWriter b;
    InfoHeader(b, 40, 2, 1, 16, 3);
    b.U32(0xF800).U32(0x07E0).U32(0x001F);
    b.U16(0x07E0).U16(0x0010);
    const RgbaImage six = LoadImage(BmpFile(b, 52));
    EXPECT_EQ(PixelAt(six, 0, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(six, 1, 0), (Rgba{0, 0, 131, 255}));
    // 32 bits with fields and an alpha mask inside a version 5 header.
    ByteWriter c;
    InfoHeader(c, 124, 1, 1, 32, 3);
    c.SetU32(40, 0x000000FF);  // red in the low byte
    c.SetU32(44, 0x0000FF00);
    c.SetU32(48, 0x00FF0000);
    c.SetU32(52, 0xFF000000);
    c.U32(0x40302010);
    EXPECT_EQ(PixelAt(LoadImage(BmpFile(c, 124)), 0, 0), (Rgba{0x10, 0x20, 0x30, 0x40}));
}

TEST(BitmapLoading, ColourTables) {
    // 1 bit, 10 wide: two bytes of bits, padded to four.
    ByteWriter one;
    InfoHeader(one, 40, 10, 1, 1, 0, 2);
    one.U32(0x00000000).U32(0x00FFFFFF);
    one.U8(0b10100000).U8(0b01000000).U8(0).U8(0);
    const RgbaImage mono = LoadImage(BmpFile(one, 48));
    const char* want = "1010000001";
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(PixelAt(mono, x, 0)[0], want[x] == '1' ? 255 : 0) << x;
    }
    // 4 bits with a 12-byte (OS/2) header and 3-byte colours.
    ByteWriter four;
    four.U32(12).U16(3).U16(1).U16(1).U16(4);
    for (int i = 0; i < 16; ++i) {
        four.U8(i).U8(i * 2).U8(i * 3);  // blue, green, red
    }
    four.U8(0x1F).U8(0xA0).U8(0).U8(0);
    const RgbaImage os2 = LoadImage(BmpFile(four, 12 + 48));
    EXPECT_EQ(PixelAt(os2, 0, 0), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(PixelAt(os2, 1, 0), (Rgba{45, 30, 15, 255}));
    EXPECT_EQ(PixelAt(os2, 2, 0), (Rgba{30, 20, 10, 255}));
    // 8 bits with a short table: indexes past it read black.
    ByteWriter eight;
    InfoHeader(eight, 40, 2, 1, 8, 0, 1);
    eight.U32(0x00123456);
    eight.U8(0).U8(200).U8(0).U8(0);
    const RgbaImage table = LoadImage(BmpFile(eight, 44));
    EXPECT_EQ(PixelAt(table, 0, 0), (Rgba{0x12, 0x34, 0x56, 255}));
    EXPECT_EQ(PixelAt(table, 1, 0), (Rgba{0, 0, 0, 255}));
}

// 8-bit palette: 0 black, 1 red, 2 green, 3 blue.
void FourColours(ByteWriter& w) {
    w.U32(0).U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF);
}

TEST(BitmapLoading, RunLengthEncoded) {
    // RLE8, 6 x 3, bottom-up: a run, a literal, an end of line, a delta, the end.
    ByteWriter w;
    InfoHeader(w, 40, 6, 3, 8, 1, 4);
    FourColours(w);
    w.U8(2).U8(1);                          // row 0: two red
    w.U8(0).U8(3).U8(2).U8(3).U8(2).U8(0);  // three literal: green blue green, padded
    w.U8(0).U8(0);                          // end of line
    w.U8(0).U8(2).U8(4).U8(1);              // delta: x 4, row 2
    w.U8(2).U8(3);                          // two blue at x 4, 5 of row 2
    w.U8(0).U8(1);                          // end of bitmap
    const RgbaImage rle8 = LoadImage(BmpFile(w, 56));
    ASSERT_EQ(rle8.height, 3);
    EXPECT_EQ(PixelAt(rle8, 0, 2), (Rgba{255, 0, 0, 255}));  // row 0 is the bottom
    EXPECT_EQ(PixelAt(rle8, 2, 2), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(rle8, 3, 2), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(rle8, 5, 2), (Rgba{0, 0, 0, 255}));  // skipped: colour 0
    EXPECT_EQ(PixelAt(rle8, 4, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(rle8, 3, 0), (Rgba{0, 0, 0, 255}));

    // RLE4, 5 x 1: a run alternating two indexes, then a literal of 2.
    ByteWriter f;
    InfoHeader(f, 40, 5, 1, 4, 2, 4);
    FourColours(f);
    f.U8(3).U8(0x12).U8(0).U8(3).U8(0x31).U8(0x00).U8(0).U8(1);
    const RgbaImage rle4 = LoadImage(BmpFile(f, 56));
    const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255};
    EXPECT_EQ(PixelAt(rle4, 0, 0), red);
    EXPECT_EQ(PixelAt(rle4, 1, 0), green);
    EXPECT_EQ(PixelAt(rle4, 2, 0), red);
    EXPECT_EQ(PixelAt(rle4, 3, 0), blue);
    EXPECT_EQ(PixelAt(rle4, 4, 0), red);
}

TEST(BitmapLoading, DamageAndSizeLimit) {
    const Bytes bmp = Bmp24();
    ExpectDamaged(Bytes(bmp.begin(), bmp.end() - 1), "Damaged BMP picture: pixel data ends early");
    ExpectDamaged(Bytes(bmp.begin(), bmp.begin() + 30), "Damaged BMP picture: header ends early");
    Bytes flipped = bmp;
    flipped[14] ^= 0xFF;  // the header size
    ExpectDamaged(flipped, "Damaged BMP picture: unknown header size");
    // 10000 x 10000 declared in a file of 60 bytes: refused by size, before the data is looked at.
    ByteWriter big;
    InfoHeader(big, 40, 10000, 10000, 24, 0);
    ExpectDamaged(BmpFile(big, 40), "Picture too large: 10000 x 10000");
    ByteWriter wide;
    InfoHeader(wide, 40, 0x7FFFFFFF, -0x7FFFFFFF, 32, 0);
    ExpectDamaged(BmpFile(wide, 40), "Picture too large");
    ByteWriter empty;
    InfoHeader(empty, 40, 0, 5, 24, 0);
    ExpectDamaged(BmpFile(empty, 40), "Picture has no pixels");
    // Every single-byte flip loads or fails cleanly.
    test::ExpectEveryFlipHandled(Bmp24());
    test::ExpectEveryFlipHandled(BmpFile(big, 40));
}

// An icon file from images given as bytes, with directory sizes as stated.
Bytes IconFile(const std::vector<std::pair<int, Bytes>>& images) {
    ByteWriter w;
    w.U16(0).U16(1).U16(static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const auto& [size, bytes] : images) {
        w.U8(size).U8(size).U8(0).U8(0).U16(1).U16(32);
        w.U32(static_cast<std::uint32_t>(bytes.size())).U32(offset);
        offset += static_cast<std::uint32_t>(bytes.size());
    }
    for (const auto& image : images) {
        w.Append(image.second);
    }
    return w.bytes();
}

// 2 x 2, 24 bits, with an AND mask that clears the bottom-left pixel.
Bytes IconBitmap24() {
    ByteWriter w;
    InfoHeader(w, 40, 2, 4, 24, 0);
    w.U8(0).U8(0).U8(255).U8(0).U8(255).U8(0).U8(0).U8(0);      // bottom: red, green
    w.U8(255).U8(0).U8(0).U8(255).U8(255).U8(255).U8(0).U8(0);  // top: blue, white
    w.U32(0x80).U32(0x00);                                      // mask rows, bottom first
    return w.bytes();
}

// 1 x 1, 32 bits, with its own alpha and an all-clear mask that must not count.
Bytes IconBitmap32() {
    ByteWriter w;
    InfoHeader(w, 40, 1, 2, 32, 0);
    w.U32(0x7F102030).U32(0x80000000);
    return w.bytes();
}

TEST(IconLoading, EveryImageWithItsTransparency) {
    const RgbaImage png = test::MakeImage(3, 3, [](int x, int) {
        return Rgba{std::uint8_t(x * 100), 7, 7, 200};
    });
    const Bytes icon =
        IconFile({{2, IconBitmap24()}, {3, test::EncodePng(png)}, {1, IconBitmap32()}});
    const std::vector<RgbaImage> images = LoadIconImages(icon);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(PixelAt(images[0], 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(images[0], 1, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(PixelAt(images[0], 0, 1)[3], 0);
    EXPECT_EQ(PixelAt(images[0], 1, 1), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(images[1].pixels, png.pixels);
    EXPECT_EQ(PixelAt(images[2], 0, 0), (Rgba{0x10, 0x20, 0x30, 0x7F}));
    // The picture shown for an icon is the image nearest 32 pixels wide: here the 3 x 3 one.
    EXPECT_EQ(LoadImage(icon).width, 3);
}

TEST(IconLoading, DamageFailsClearly) {
    const Bytes icon = IconFile({{2, IconBitmap24()}});
    Bytes outside = icon;
    outside[6 + 15] = 0x10;  // the image offset points far past the end
    EXPECT_THROW(LoadIconImages(outside), Error);
    const Bytes bitmap = IconBitmap24();
    const Bytes noMask = IconFile({{2, Bytes(bitmap.begin(), bitmap.end() - 8)}});
    try {
        LoadIconImages(noMask);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Damaged icon file: transparency mask ends early");
    }
    EXPECT_THROW(LoadIconImages(Bytes(icon.begin(), icon.end() - 20)), Error);
    for (std::size_t i = 0; i < icon.size(); ++i) {
        Bytes copy = icon;
        copy[i] ^= 0xFF;
        try {
            LoadIconImages(copy);
        } catch (const Error&) {
        }
    }
}

}  // namespace
}  // namespace quorlix
