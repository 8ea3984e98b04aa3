#include "support/picture_files.h"

#include <gtest/gtest.h>

namespace quorlix::test {

namespace {

void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::string IconImage(const IconImageSpec& spec) {
    std::string bits;
    Put32(bits, 40);
    Put32(bits, spec.size);
    Put32(bits, spec.size * 2);
    Put16(bits, 1);
    Put16(bits, 32);
    for (int i = 0; i < 6; ++i) {
        Put32(bits, 0);
    }
    for (int i = 0; i < spec.size * spec.size; ++i) {
        bits += static_cast<char>(qBlue(spec.colour));
        bits += static_cast<char>(qGreen(spec.colour));
        bits += static_cast<char>(qRed(spec.colour));
        bits += static_cast<char>(0xFF);
    }
    const int maskRow = (spec.size + 31) / 32 * 4;
    bits += std::string(static_cast<std::size_t>(maskRow * spec.size), '\0');
    return bits;
}

// Writes codes of a fixed width, least significant bit first, in 255-byte sub-blocks.
class GifCodeWriter {
public:
    explicit GifCodeWriter(int width) : width_(width) {}
    void Code(unsigned code) {
        buffer_ |= code << bits_;
        bits_ += width_;
        while (bits_ >= 8) {
            bytes_ += static_cast<char>(buffer_ & 0xFF);
            buffer_ >>= 8;
            bits_ -= 8;
        }
    }
    std::string Blocks() {
        if (bits_ > 0) {
            bytes_ += static_cast<char>(buffer_ & 0xFF);
        }
        std::string out;
        for (std::size_t at = 0; at < bytes_.size(); at += 255) {
            const std::string block = bytes_.substr(at, 255);
            out += static_cast<char>(block.size());
            out += block;
        }
        return out + '\0';
    }

private:
    int width_;
    unsigned buffer_ = 0;
    int bits_ = 0;
    std::string bytes_;
};

}  // namespace

std::string IconFileBytes(const std::vector<IconImageSpec>& images) {
    std::string header;
    Put16(header, 0);
    Put16(header, 1);
    Put16(header, static_cast<unsigned>(images.size()));
    std::string data;
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconImageSpec& spec : images) {
        const std::string image = IconImage(spec);
        header += static_cast<char>(spec.size);
        header += static_cast<char>(spec.size);
        header += '\0';
        header += '\0';
        Put16(header, 1);
        Put16(header, 32);
        Put32(header, static_cast<std::uint32_t>(image.size()));
        Put32(header, offset);
        offset += static_cast<std::uint32_t>(image.size());
        data += image;
    }
    return header + data;
}

std::string GifBytes(int width, int height, const std::vector<QRgb>& colours,
                     const std::vector<std::uint8_t>& indexes, int transparent) {
    std::string out = "GIF89a";
    Put16(out, width);
    Put16(out, height);
    out += static_cast<char>(0x81);  // global table of 4 colours
    out += '\0';
    out += '\0';
    for (int i = 0; i < 4; ++i) {
        const QRgb c = i < static_cast<int>(colours.size()) ? colours[i] : 0;
        out += static_cast<char>(qRed(c));
        out += static_cast<char>(qGreen(c));
        out += static_cast<char>(qBlue(c));
    }
    if (transparent >= 0) {
        out += std::string("\x21\xF9\x04\x01\x00\x00", 6);
        out += static_cast<char>(transparent);
        out += '\0';
    }
    out += ',';
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out += '\0';
    out += '\x02';  // minimum code size: 2 bits, so codes of 3 bits
    // A clear code before every two pixels keeps the code table, and so the code width, fixed.
    GifCodeWriter codes(3);
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (i % 2 == 0) {
            codes.Code(4);
        }
        codes.Code(indexes[i]);
    }
    codes.Code(5);
    return out + codes.Blocks() + ';';
}

std::string WmfBytes(int width, int height) {
    std::string records;
    auto record = [&](unsigned function, std::initializer_list<int> params) {
        Put32(records, static_cast<std::uint32_t>(3 + params.size()));
        Put16(records, function);
        for (int p : params) {
            Put16(records, static_cast<unsigned>(p) & 0xFFFF);
        }
    };
    record(0x020B, {0, 0});                  // SetWindowOrg
    record(0x020C, {height, width});         // SetWindowExt
    record(0x02FC, {0, 0x00FF, 0x0000, 0});  // CreateBrushIndirect: solid red
    record(0x012D, {0});                     // SelectObject
    record(0x041B, {height, width, 0, 0});   // Rectangle
    record(0x0000, {});                      // EOF
    std::string placeable;
    Put32(placeable, 0x9AC6CDD7);
    Put16(placeable, 0);
    Put16(placeable, 0);
    Put16(placeable, 0);
    Put16(placeable, width);
    Put16(placeable, height);
    Put16(placeable, 96);
    Put32(placeable, 0);
    unsigned checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= static_cast<unsigned char>(placeable[i]) |
                    static_cast<unsigned char>(placeable[i + 1]) << 8;
    }
    Put16(placeable, checksum);
    std::string header;
    Put16(header, 1);
    Put16(header, 9);
    Put16(header, 0x0300);
    Put32(header, static_cast<std::uint32_t>((18 + records.size()) / 2));
    Put16(header, 1);
    Put32(header, 7);
    Put16(header, 0);
    return placeable + header + records;
}

std::string EmfBytes(int width, int height) {
    std::string body;
    // A solid brush, selected, and a rectangle over the whole picture.
    Put32(body, 39);  // EMR_CREATEBRUSHINDIRECT
    Put32(body, 24);
    Put32(body, 1);
    Put32(body, 0);           // BS_SOLID
    Put32(body, 0x00FF0000);  // blue as COLORREF
    Put32(body, 0);
    Put32(body, 37);  // EMR_SELECTOBJECT
    Put32(body, 12);
    Put32(body, 1);
    Put32(body, 43);  // EMR_RECTANGLE
    Put32(body, 24);
    Put32(body, 0);
    Put32(body, 0);
    Put32(body, static_cast<std::uint32_t>(width - 1));
    Put32(body, static_cast<std::uint32_t>(height - 1));
    std::string eof;
    Put32(eof, 14);
    Put32(eof, 20);
    Put32(eof, 0);
    Put32(eof, 16);
    Put32(eof, 20);
    std::string header;
    Put32(header, 1);
    Put32(header, 88);
    for (int v : {0, 0, width - 1, height - 1}) {
        Put32(header, static_cast<std::uint32_t>(v));
    }
    // The frame in hundredths of a millimetre at 96 pixels per inch.
    for (int v : {0, 0, width * 2540 / 96, height * 2540 / 96}) {
        Put32(header, static_cast<std::uint32_t>(v));
    }
    Put32(header, 0x464D4520);
    Put32(header, 0x10000);
    Put32(header, static_cast<std::uint32_t>(88 + body.size() + eof.size()));
    Put32(header, 5);
    Put16(header, 2);
    Put16(header, 0);
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, 1024);
    Put32(header, 768);
    Put32(header, 270);
    Put32(header, 203);
    return header + body + eof;
}

void SaveImage(const QImage& image, const std::string& path, const char* format) {
    ASSERT_TRUE(image.save(QString::fromStdString(path), format)) << path;
}

QImage SolidImage(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

}  // namespace quorlix::test
