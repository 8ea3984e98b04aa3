#include "imaging/image_loading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
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

TEST(ImageLoading, JpegFileSizeIsReadAfterTheWholePictureDecodes) {
    test::TestFolder dir;
    const Bytes png = test::EncodePng(TwoColours(4, 2));
    test::WriteFile(dir / "mark.jpg", std::string(png.begin(), png.end()));
    EXPECT_THROW(JpegFileSize(dir / "mark.jpg"), Error);
    const Bytes jpeg = test::EncodeJpeg(TwoColours(640, 200));
    test::WriteFile(dir / "mark.png", std::string(jpeg.begin(), jpeg.end()));
    EXPECT_EQ(JpegFileSize(dir / "mark.png"), (PixelSize{640, 200}));
    // Damage past the header is found too: the picture is decoded to its end.
    test::WriteFile(dir / "cut.jpg", std::string(jpeg.begin(), jpeg.begin() + jpeg.size() / 2));
    try {
        JpegFileSize(dir / "cut.jpg");
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("Damaged JPEG picture"), std::string::npos);
    }
}

// The picture at the given smaller size, each pixel the alpha-weighted average of the pixels of
// the whole picture whose column x and row y fall on it (x * width / whole width), rounded.
RgbaImage AveragedTo(const RgbaImage& whole, int width, int height) {
    std::vector<double> sums(static_cast<std::size_t>(width) * height * 4, 0.0);
    std::vector<double> counts(static_cast<std::size_t>(width) * height, 0.0);
    for (int y = 0; y < whole.height; ++y) {
        for (int x = 0; x < whole.width; ++x) {
            const std::size_t at =
                static_cast<std::size_t>(y * std::int64_t{height} / whole.height) * width +
                static_cast<std::size_t>(x * std::int64_t{width} / whole.width);
            const Rgba p = PixelAt(whole, x, y);
            for (int c = 0; c < 3; ++c) {
                sums[at * 4 + c] += static_cast<double>(p[c]) * p[3];
            }
            sums[at * 4 + 3] += p[3];
            counts[at] += 1;
        }
    }
    RgbaImage out{width, height, std::vector<std::uint8_t>(sums.size(), 0)};
    for (std::size_t at = 0; at < counts.size(); ++at) {
        const double alpha = sums[at * 4 + 3];
        for (int c = 0; c < 3 && alpha > 0; ++c) {
            out.pixels[at * 4 + c] =
                static_cast<std::uint8_t>(std::lround(sums[at * 4 + c] / alpha));
        }
        out.pixels[at * 4 + 3] = static_cast<std::uint8_t>(std::lround(alpha / counts[at]));
    }
    return out;
}

// Four quadrants: red, green, half-transparent blue and fully transparent, with a soft band.
RgbaImage Quadrants(int width, int height, bool opaque) {
    return test::MakeImage(width, height, [&](int x, int y) {
        const bool right = x >= width / 2;
        const bool bottom = y >= height / 2;
        const auto band = static_cast<std::uint8_t>(x % 7 * 9);
        if (!bottom) {
            return right ? Rgba{band, 220, 20, 255} : Rgba{230, band, 10, 255};
        }
        if (!right) {
            return Rgba{0, band, 240, static_cast<std::uint8_t>(opaque ? 255 : 128)};
        }
        return opaque ? Rgba{250, 250, band, 255} : Rgba{0, 0, 0, 0};
    });
}

// A bitmap file of 24 bits, rows bottom-up, written by hand.
Bytes Bmp24(const RgbaImage& image) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    test::ByteWriter w;
    w.U8('B').U8('M').U32(54 + rowBytes * image.height).U32(0).U32(54);
    w.U32(40)
        .I32(image.width)
        .I32(image.height)
        .U16(1)
        .U16(24)
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba p = PixelAt(image, x, y);
            w.U8(p[2]).U8(p[1]).U8(p[0]);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(image.width) * 3; pad < rowBytes;
             ++pad) {
            w.U8(0);
        }
    }
    return w.bytes();
}

TEST(PictureFitting, FittedSizeKeepsTheProportionsAndSmallPicturesWhole) {
    const PixelSize box{117, 76};
    EXPECT_EQ(FittedSize({40, 30}, box), (PixelSize{40, 30}));
    EXPECT_EQ(FittedSize({117, 76}, box), (PixelSize{117, 76}));
    EXPECT_EQ(FittedSize({468, 76}, box), (PixelSize{117, 19}));
    EXPECT_EQ(FittedSize({400, 200}, box), (PixelSize{117, 58}));
    EXPECT_EQ(FittedSize({8192, 8192}, box), (PixelSize{76, 76}));
    EXPECT_EQ(FittedSize({100, 1000}, box), (PixelSize{7, 76}));
    EXPECT_EQ(FittedSize({100000, 1}, box), (PixelSize{117, 1}));
    EXPECT_EQ(FittedSize({1, 100000}, box), (PixelSize{1, 76}));
}

TEST(PictureFitting, EachShownPixelIsTheAverageOfThePixelsItCovers) {
    const PixelSize box{117, 76};
    const RgbaImage picture = Quadrants(400, 200, false);
    const RgbaImage expected = AveragedTo(picture, 117, 58);
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"PNG", test::EncodePng(picture)},
        {"interlaced PNG", test::EncodeInterlacedPng(picture)},
        {"BMP", Bmp24(Quadrants(400, 200, true))},
    };
    for (const auto& [what, bytes] : files) {
        const RgbaImage fitted = LoadImageFitting(bytes, box);
        const RgbaImage want = what == "BMP" ? AveragedTo(LoadImage(bytes), 117, 58) : expected;
        ASSERT_EQ(fitted.width, 117) << what;
        ASSERT_EQ(fitted.height, 58) << what;
        EXPECT_EQ(fitted.pixels, want.pixels) << what;
    }
    // A GIF's frame lies on a larger screen; its transparent colour and what it does not cover
    // are transparent. Plain and interlaced rows give the same.
    test::GifFrame frame{300, 150,   50, 30, 200,
                         100, false, 3,  {}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}}};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            frame.indexes.push_back(static_cast<std::uint8_t>((x / 50 + y / 25) % 4));
        }
    }
    for (const bool interlaced : {false, true}) {
        frame.interlaced = interlaced;
        const Bytes gif = test::EncodeGif(frame);
        const RgbaImage fitted = LoadImageFitting(gif, box);
        ASSERT_EQ(fitted.width, 117);
        ASSERT_EQ(fitted.height, 58);
        EXPECT_EQ(fitted.pixels, AveragedTo(LoadImage(gif), 117, 58).pixels) << interlaced;
        EXPECT_EQ(PixelAt(fitted, 0, 0)[3], 0) << "outside the frame";
    }
    // A JPEG is decoded at a smaller scale by its library: near the average, not equal to it
    // (away from the quadrants' edges, in plain colours).
    const Bytes jpeg = test::EncodeJpeg(test::MakeImage(800, 400, [](int x, int y) {
        return x < 400 ? (y < 200 ? Rgba{230, 30, 10, 255} : Rgba{0, 40, 240, 255})
                       : (y < 200 ? Rgba{20, 220, 20, 255} : Rgba{250, 250, 90, 255});
    }));
    const RgbaImage fitted = LoadImageFitting(jpeg, box);
    ASSERT_EQ(fitted.width, 117);
    ASSERT_EQ(fitted.height, 58);
    const RgbaImage average = AveragedTo(LoadImage(jpeg), 117, 58);
    for (int y = 0; y < 58; y += 3) {
        for (int x = 0; x < 117; x += 3) {
            if (std::abs(x - 58) > 2 && std::abs(y - 29) > 2) {
                ExpectNear(PixelAt(fitted, x, y), PixelAt(average, x, y), 4);
            }
        }
    }
}

TEST(PictureFitting, APictureThatFitsComesWholeAndDamageIsRefusedAsBefore) {
    const PixelSize box{117, 76};
    const RgbaImage small = Quadrants(40, 30, false);
    for (const Bytes& bytes : {test::EncodePng(small), test::EncodeInterlacedPng(small)}) {
        const RgbaImage fitted = LoadImageFitting(bytes, box);
        EXPECT_EQ(fitted.width, 40);
        EXPECT_EQ(fitted.pixels, LoadImage(bytes).pixels);
    }
    const Bytes png = test::EncodePng(Quadrants(300, 100, false));
    const Bytes jpeg = test::EncodeJpeg(Quadrants(300, 100, true));
    test::GifFrame frame{300,
                         100,
                         0,
                         0,
                         300,
                         100,
                         true,
                         -1,
                         std::vector<std::uint8_t>(30000, 1),
                         {{0, 0, 0}, {255, 255, 255}}};
    const Bytes gif = test::EncodeGif(frame);
    for (const auto& [bytes, words] :
         {std::pair{png, "Damaged PNG picture"}, std::pair{jpeg, "Damaged JPEG picture"},
          std::pair{gif, "Damaged GIF picture"}}) {
        try {
            LoadImageFitting(Truncated(bytes, bytes.size() * 2 / 3), box);
            ADD_FAILURE() << words;
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(words), std::string::npos) << error.what();
        }
    }
    // A larger picture than the limit is refused, however small it is shown.
    EXPECT_THROW(LoadImageFitting(png, box, 29999), Error);
    // Every single-byte flip of a small picture shown smaller decodes or is refused.
    for (const Bytes& bytes :
         {test::EncodePng(Quadrants(9, 7, false)),
          test::EncodeInterlacedPng(Quadrants(9, 7, false)),
          test::EncodeJpeg(Quadrants(16, 16, true)), test::EncodeGif(SmallGif())}) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            Bytes copy = bytes;
            copy[i] ^= 0xFF;
            try {
                const RgbaImage image = LoadImageFitting(copy, {3, 2});
                EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 4) << i;
                EXPECT_LE(image.width, 3) << i;
            } catch (const Error&) {
            }
        }
    }
}

}  // namespace
}  // namespace quorlix
