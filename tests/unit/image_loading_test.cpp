#include "imaging/image_loading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/error.h"
#include "support/picture_bytes.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::Bytes;
using test::ExpectDamaged;
using test::ExpectEveryFlipHandled;
using test::PixelAt;
using Rgba = std::array<std::uint8_t, 4>;

// Red on the left half, blue on the right, half-transparent in the bottom row.
RgbaImage TwoColours(int width, int height) {
    return test::MakeImage(width, height, [&](int x, int y) {
        const std::uint8_t a = y == height - 1 ? 128 : 255;
        return x < width / 2 ? Rgba{255, 0, 0, a} : Rgba{0, 0, 255, a};
    });
}

void ExpectNear(const Rgba& got, const Rgba& want, int tolerance) {
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(got[c], want[c], tolerance) << "channel " << c;
    }
}

Bytes Truncated(const Bytes& bytes, std::size_t keep) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(keep));
}

TEST(ImageLoading, KindComesFromTheBytes) {
    EXPECT_EQ(DetectImageKind(test::EncodeJpeg(TwoColours(8, 8))), ImageKind::Jpeg);
    EXPECT_EQ(DetectImageKind(test::EncodePng(TwoColours(2, 2))), ImageKind::Png);
    EXPECT_EQ(DetectImageKind(Bytes{'G', 'I', 'F', '8', '9', 'a'}), ImageKind::Gif);
    EXPECT_EQ(DetectImageKind(Bytes{'B', 'M'}), ImageKind::Bmp);
    EXPECT_EQ(DetectImageKind(Bytes{0, 0, 1, 0, 1, 0}), ImageKind::Ico);
    EXPECT_EQ(DetectImageKind(Bytes{0, 0, 1, 0, 0, 0}), ImageKind::Unknown);  // no images
    EXPECT_EQ(DetectImageKind(Bytes{0xD7, 0xCD, 0xC6, 0x9A}), ImageKind::Wmf);
    EXPECT_EQ(DetectImageKind(Bytes{}), ImageKind::Unknown);
    EXPECT_EQ(DetectImageKind(Bytes{'G', 'I', 'F'}), ImageKind::Unknown);
    test::TestFolder dir;
    // A PNG named .jpg is still read as a PNG.
    const Bytes png = test::EncodePng(TwoColours(4, 2));
    test::WriteFile(dir / "picture.jpg", std::string(png.begin(), png.end()));
    EXPECT_EQ(LoadImageFile(dir / "picture.jpg").width, 4);
    ExpectDamaged(Bytes{'h', 'e', 'l', 'l', 'o'}, "Not a picture");
}

TEST(ImageLoading, JpegColoursAndGreys) {
    const RgbaImage image = LoadImage(test::EncodeJpeg(TwoColours(16, 8)));
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 8);
    ASSERT_EQ(image.pixels.size(), 16u * 8 * 4);
    ExpectNear(PixelAt(image, 2, 2), {255, 0, 0, 255}, 12);  // a JPEG has no alpha
    ExpectNear(PixelAt(image, 13, 7), {0, 0, 255, 255}, 12);
    const RgbaImage grey = LoadImage(test::EncodeJpeg(TwoColours(16, 8), true));
    const Rgba left = PixelAt(grey, 1, 1);
    EXPECT_EQ(left[0], left[1]);
    EXPECT_EQ(left[1], left[2]);
    EXPECT_NEAR(left[0], 76, 6);  // the luma of pure red
}

TEST(ImageLoading, JpegDamageFailsClearly) {
    const Bytes jpeg = test::EncodeJpeg(TwoColours(16, 16));
    ExpectDamaged(Truncated(jpeg, jpeg.size() / 2), "Damaged JPEG picture");
    ExpectDamaged(Truncated(jpeg, 3), "Damaged JPEG picture");
    Bytes noFrame = jpeg;
    for (std::size_t i = 2; i + 1 < noFrame.size(); ++i) {
        if (noFrame[i] == 0xFF && noFrame[i + 1] == 0xC0) {
            noFrame[i + 1] = 0x01;  // the frame header becomes an unknown marker
            break;
        }
    }
    ExpectDamaged(noFrame, "Damaged JPEG picture");
    ExpectEveryFlipHandled(test::EncodeJpeg(TwoColours(8, 8)));
}

TEST(ImageLoading, PngKeepsAlphaExactly) {
    const RgbaImage original = TwoColours(5, 3);
    const RgbaImage image = LoadImage(test::EncodePng(original));
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(image.pixels, original.pixels);
    EXPECT_EQ(PixelAt(image, 0, 2), (Rgba{255, 0, 0, 128}));
}

TEST(ImageLoading, PngDamageFailsClearly) {
    const Bytes png = test::EncodePng(TwoColours(20, 20));
    ExpectDamaged(Truncated(png, png.size() - 20), "Damaged PNG picture");
    ExpectDamaged(Truncated(png, 20), "Damaged PNG picture");
    Bytes flipped = png;
    flipped[17] ^= 0x01;  // a width byte: the header's checksum no longer matches
    ExpectDamaged(flipped, "Damaged PNG picture");
    ExpectEveryFlipHandled(test::EncodePng(TwoColours(3, 2)));
}

test::GifFrame SmallGif() {
    test::GifFrame frame{6, 5,     1, 1,  4,
                         3, false, 2, {}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 0}, {9, 9, 9}}};
    frame.indexes = {0, 0, 1, 1,  //
                     2, 2, 2, 2,  //
                     3, 0, 1, 2};
    return frame;
}

TEST(ImageLoading, GifFirstFrameOnItsScreenWithTransparency) {
    const RgbaImage image = LoadImage(test::EncodeGif(SmallGif()));
    ASSERT_EQ(image.width, 6);
    ASSERT_EQ(image.height, 5);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{0, 0, 0, 0}));  // outside the frame
    EXPECT_EQ(PixelAt(image, 1, 1), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image, 3, 1), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelAt(image, 2, 2)[3], 0);  // the transparent colour
    EXPECT_EQ(PixelAt(image, 1, 3), (Rgba{9, 9, 9, 255}));
    EXPECT_EQ(PixelAt(image, 4, 3)[3], 0);
}

TEST(ImageLoading, GifInterlacedRowsLandInPlace) {
    test::GifFrame frame{3, 10, 0, 0, 3, 10, true, -1, {}, {{0, 0, 0}, {255, 255, 255}}};
    for (int y = 0; y < 10; ++y) {
        frame.indexes.insert(frame.indexes.end(), 3, static_cast<std::uint8_t>(y % 3 == 0));
    }
    const RgbaImage image = LoadImage(test::EncodeGif(frame));
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(PixelAt(image, 1, y)[0], y % 3 == 0 ? 255 : 0) << "row " << y;
    }
}

TEST(ImageLoading, GifDamageFailsClearly) {
    const Bytes gif = test::EncodeGif(SmallGif());
    ExpectDamaged(Truncated(gif, gif.size() - 6), "Damaged GIF picture");
    ExpectDamaged(Truncated(gif, 10), "Damaged GIF picture");
    ExpectEveryFlipHandled(gif);
}

TEST(ImageLoading, DeclaredSizesBeyondTheLimitAreRefused) {
    // A PNG header of 9000 x 9000 (81 megapixels) with a correct checksum and no pixel data.
    Bytes png = test::EncodePng(TwoColours(2, 2));
    png[16 + 2] = 0x23, png[16 + 3] = 0x28, png[20 + 2] = 0x23, png[20 + 3] = 0x28;
    const std::uint32_t crc = crc32(0, png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) {
        png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    ExpectDamaged(png, "Picture too large: 9000 x 9000");
    // A GIF screen of 65535 x 65535.
    Bytes gif = test::EncodeGif(SmallGif());
    gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;
    ExpectDamaged(gif, "Picture too large: 65535 x 65535");
    // A JPEG frame of 8192 x 8193: one pixel row more than 64 megapixels.
    Bytes jpeg = test::EncodeJpeg(TwoColours(8, 8));
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0x20, jpeg[i + 6] = 0x01, jpeg[i + 7] = 0x20, jpeg[i + 8] = 0x00;
            break;
        }
    }
    ExpectDamaged(jpeg, "Picture too large: 8192 x 8193");
    // A smaller limit is honoured too.
    EXPECT_THROW(LoadImage(test::EncodePng(TwoColours(10, 10)), 99), Error);
    EXPECT_NO_THROW(LoadImage(test::EncodePng(TwoColours(10, 10)), 100));
}

TEST(ImageLoading, OnlyRegularFilesAreRead) {
    test::TestFolder dir;
    const std::string fifo = dir / "pipe.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody writes to the FIFO: a blocking open would never return.
    EXPECT_THROW(LoadImageFile(fifo), Error);
    EXPECT_THROW(LoadImageFile("/dev/zero"), Error);
    EXPECT_THROW(LoadImageFile(dir.path()), Error);
    EXPECT_THROW(LoadImageFile(dir / "missing.png"), std::system_error);
    // A file past the size bound is refused before it is read (sparse: no disk used).
    const std::string huge = dir / "huge.bmp";
    test::WriteFile(huge, "BM");
    ASSERT_EQ(::truncate(huge.c_str(), 258 << 20), 0);
    try {
        LoadImageFile(huge);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("picture file too large"), std::string::npos);
    }
    test::WriteFile(dir / "cut.png", "\x89PNG\r\n\x1a\n");
    try {
        LoadImageFile(dir / "cut.png");
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()).rfind(dir / "cut.png: Damaged PNG picture", 0), 0u)
            << error.what();
    }
}

TEST(ImageLoading, JpegOnlyLoaderRefusesOtherKinds) {
    test::TestFolder dir;
    const Bytes png = test::EncodePng(TwoColours(4, 2));
    test::WriteFile(dir / "mark.jpg", std::string(png.begin(), png.end()));
    EXPECT_THROW(LoadJpegFile(dir / "mark.jpg"), Error);
    const Bytes jpeg = test::EncodeJpeg(TwoColours(8, 4));
    test::WriteFile(dir / "mark.png", std::string(jpeg.begin(), jpeg.end()));
    EXPECT_EQ(LoadJpegFile(dir / "mark.png").width, 8);
}

}  // namespace
}  // namespace quorlix
