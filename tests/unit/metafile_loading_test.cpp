#include <gtest/gtest.h>

#include <string>

#include "imaging/image_loading.h"
#include "platform/error.h"
#include "support/picture_bytes.h"

namespace quorlix {
namespace {

using test::Bytes;
using test::ByteWriter;
using test::PixelAt;
using Rgba = std::array<std::uint8_t, 4>;

// A placeable WMF of 40 x 20 logical units at 96 units an inch (so 40 x 20 pixels on screen):
// a null pen and a red brush fill the left half, with a rectangle or with a polygon over the
// whole picture clipped to the left half.
Bytes RedHalfWmf(bool clipped = false) {
    ByteWriter w;
    w.U32(0x9AC6CDD7).U16(0);                 // placeable key, handle
    w.U16(0).U16(0).U16(40).U16(20).U16(96);  // box left, top, right, bottom; units an inch
    w.U32(0);
    unsigned checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= w.bytes()[i] | (w.bytes()[i + 1] << 8);
    }
    w.U16(checksum);
    const std::size_t header = w.size();
    w.U16(1).U16(9).U16(0x0300).U32(0).U16(2).U32(12).U16(0);  // size filled in below
    w.U32(8).U16(0x02FA).U16(5).U16(0).U16(0).U32(0);          // CREATEPENINDIRECT null pen
    w.U32(4).U16(0x012D).U16(0);                               // SELECTOBJECT 0
    w.U32(7).U16(0x02FC).U16(0).U32(0x000000FF).U16(0);        // CREATEBRUSHINDIRECT red
    w.U32(4).U16(0x012D).U16(1);                               // SELECTOBJECT 1
    if (clipped) {
        w.U32(7).U16(0x0416).U16(20).U16(20).U16(0).U16(0);  // INTERSECTCLIPRECT b, r, t, l
        w.U32(12).U16(0x0324).U16(4);                        // POLYGON of 4 points
        w.U16(0).U16(0).U16(40).U16(0).U16(40).U16(20).U16(0).U16(20);
    } else {
        w.U32(7).U16(0x041B).U16(21).U16(21).U16(0).U16(0);  // RECTANGLE b, r, t, l
    }
    w.U32(3).U16(0);  // end of file
    w.SetU32(header + 6, static_cast<std::uint32_t>((w.size() - header) / 2));
    return w.bytes();
}

// An EMF whose bounds are 0..39 x 0..19 and frame 40 x 20 pixels at 96 dpi: a null pen and a red
// brush fill the left half.
Bytes RedHalfEmf() {
    ByteWriter w;
    w.U32(1).U32(88);                              // header record
    w.I32(0).I32(0).I32(39).I32(19);               // bounds, device units, inclusive
    w.I32(0).I32(0).I32(1058).I32(529);            // frame, 0.01 mm: 40 x 20 px at 96 dpi
    w.U32(0x464D4520).U32(0x10000).U32(0).U32(6);  // signature, version, bytes, records
    w.U16(2).U16(0).U32(0).U32(0).U32(0);          // handles, reserved, description, palette
    w.I32(1024).I32(768).I32(271).I32(203);        // device pixels and millimetres (96 dpi)
    w.U32(39).U32(24).U32(1).U32(0).U32(0x000000FF).U32(0);  // CREATEBRUSHINDIRECT 1: red
    w.U32(37).U32(12).U32(1);                                // SELECTOBJECT brush
    w.U32(37).U32(12).U32(0x80000008);                       // SELECTOBJECT stock null pen
    w.U32(43).U32(24).I32(0).I32(0).I32(20).I32(20);         // RECTANGLE
    w.U32(14).U32(20).U32(0).U32(16).U32(20);                // end of file
    w.SetU32(48, static_cast<std::uint32_t>(w.size()));
    return w.bytes();
}

void ExpectRedHalf(const RgbaImage& image, int width, int height) {
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, height);
    EXPECT_EQ(PixelAt(image, 5, 10), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image, 15, 3), (Rgba{255, 0, 0, 255}));
    const Rgba right = PixelAt(image, 32, 10);
    EXPECT_TRUE(right[3] == 0 || right == (Rgba{255, 255, 255, 255}))
        << int(right[0]) << "," << int(right[1]) << "," << int(right[2]) << "," << int(right[3]);
}

TEST(MetafileLoading, WmfIsDrawnAtScreenSize) {
    const Bytes wmf = RedHalfWmf();
    ASSERT_EQ(DetectImageKind(wmf), ImageKind::Wmf);
    ExpectRedHalf(LoadImage(wmf), 40, 20);
    // A polygon after a clip rectangle is drawn (libwmf's SVG device does not apply clipping, so
    // the polygon covers the picture).
    const RgbaImage clipped = LoadImage(RedHalfWmf(true));
    ASSERT_EQ(clipped.width, 40);
    EXPECT_EQ(PixelAt(clipped, 5, 10), (Rgba{255, 0, 0, 255}));
}

TEST(MetafileLoading, EmfIsDrawnAtItsBoundsSize) {
    const Bytes emf = RedHalfEmf();
    ASSERT_EQ(DetectImageKind(emf), ImageKind::Emf);
    // libemf2svg sizes the drawing by its bounds, right minus left: 39 x 19 here.
    ExpectRedHalf(LoadImage(emf), 39, 19);
}

void ExpectEmfRefused(const Bytes& emf, const std::string& reason) {
    try {
        LoadImage(emf);
        ADD_FAILURE() << "loaded a damaged EMF";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Damaged EMF picture: " + reason);
    }
}

TEST(MetafileLoading, DamageFailsClearly) {
    const Bytes wmf = RedHalfWmf();
    EXPECT_THROW(LoadImage(Bytes(wmf.begin(), wmf.begin() + 30)), Error);
    const Bytes emf = RedHalfEmf();
    EXPECT_THROW(LoadImage(Bytes(emf.begin(), emf.begin() + 60)), Error);
    ExpectEmfRefused(Bytes(emf.begin(), emf.end() - 20), "the end-of-file record is missing");
    // A polygon record claiming a million points in a record of one point.
    ByteWriter polygon;
    polygon.Append(Bytes(emf.begin(), emf.begin() + 88));
    polygon.U32(3).U32(36).I32(0).I32(0).I32(9).I32(9).U32(1000000).I32(1).I32(1);
    polygon.U32(14).U32(20).U32(0).U32(16).U32(20);
    polygon.SetU32(48, static_cast<std::uint32_t>(polygon.size()));
    ExpectEmfRefused(polygon.bytes(), "record 1 is inconsistent");
    // A description said to lie past the header record.
    ByteWriter description;
    description.Append(emf);
    description.SetU32(60, 6);
    description.SetU32(64, 108);
    ExpectEmfRefused(description.bytes(), "header record points outside itself");
    // A description with no length, which libemf2svg would read up to a zero anywhere.
    description.SetU32(60, 0);
    description.SetU32(64, 84);
    ExpectEmfRefused(description.bytes(), "header record points outside itself");
    for (const Bytes& sample : {wmf, RedHalfWmf(true), emf}) {
        test::ExpectEveryFlipHandled(sample, 1u << 20);
    }
}

TEST(MetafileLoading, SizeLimitHoldsForMetafiles) {
    EXPECT_THROW(LoadImage(RedHalfWmf(), 799), Error);
    EXPECT_THROW(LoadImage(RedHalfEmf(), 740), Error);
    EXPECT_EQ(LoadImage(RedHalfEmf(), 741).width, 39);
    EXPECT_EQ(LoadImage(RedHalfWmf(), 800).width, 40);
}

}  // namespace
}  // namespace quorlix
