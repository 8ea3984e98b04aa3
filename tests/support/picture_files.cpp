#include "support/picture_files.h"

#include <zlib.h>

#include <algorithm>

namespace quorlix::test {

namespace {

void Put32(std::string& out, std::uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

std::uint32_t Get32(const std::string& in, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    Put32(png, static_cast<std::uint32_t>(data.size()), true);
    const std::string body = std::string(type, 4) + data;
    png += body;
    Put32(png,
          static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                           static_cast<uInt>(body.size()))),
          true);
}

// A PNG of 8-bit samples, `channels` 3 (RGB) or 4 (RGBA), from rows already carrying their
// filter byte.
std::string EncodePng(int width, int height, int channels, const std::string& rows) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    Put32(header, static_cast<std::uint32_t>(width), true);
    Put32(header, static_cast<std::uint32_t>(height), true);
    header += static_cast<char>(8);
    header += static_cast<char>(channels == 4 ? 6 : 2);
    header += std::string(3, '\0');
    Chunk(png, "IHDR", header);
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
              reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()), 6);
    packed.resize(size);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", "");
    return png;
}

bool InDisc(int x, int y, int width, int height) {
    const int r = std::min(width, height) / 2;
    const int dx = x - width / 2;
    const int dy = y - height / 2;
    return dx * dx + dy * dy <= r * r;
}

// Packs codes of 9 bits, least significant bit first.
class CodeWriter {
public:
    void Put(unsigned code) {
        bits_ |= code << count_;
        count_ += 9;
        while (count_ >= 8) {
            bytes_ += static_cast<char>(bits_ & 0xFF);
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    std::string Finish() {
        if (count_ > 0) {
            bytes_ += static_cast<char>(bits_ & 0xFF);
        }
        return bytes_;
    }

private:
    std::string bytes_;
    unsigned bits_ = 0;
    int count_ = 0;
};

}  // namespace

std::string MakeGif(int width, int height, std::uint32_t rgb) {
    std::string gif = "GIF89a";
    Put16(gif, static_cast<std::uint32_t>(width));
    Put16(gif, static_cast<std::uint32_t>(height));
    gif += "\xF7";
    gif += std::string(2, '\0');
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t colour = i == 0 ? 0xFF0000u : rgb;
        gif += static_cast<char>((colour >> 16) & 0xFF);
        gif += static_cast<char>((colour >> 8) & 0xFF);
        gif += static_cast<char>(colour & 0xFF);
    }
    gif += std::string("\x21\xF9\x04\x01\x00\x00\x00\x00", 8);  // index 0 is transparent
    gif += "\x2C";
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, static_cast<std::uint32_t>(width));
    Put16(gif, static_cast<std::uint32_t>(height));
    gif += '\0';
    gif += '\x08';
    // Every pixel its own code, with a clear code often enough that codes stay 9 bits wide.
    CodeWriter codes;
    int sinceClear = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (sinceClear == 0) {
                codes.Put(256);
            }
            codes.Put(InDisc(x, y, width, height) ? 1 : 0);
            sinceClear = (sinceClear + 1) % 250;
        }
    }
    codes.Put(257);
    const std::string data = codes.Finish();
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        gif += static_cast<char>(block.size());
        gif += block;
    }
    gif += '\0';
    gif += ';';
    return gif;
}

std::optional<std::uint32_t> BmpPixel(const std::string& bmp, int x, int y) {
    if (bmp.size() < 54 || bmp.compare(0, 2, "BM") != 0) {
        return std::nullopt;
    }
    const auto width = static_cast<std::int32_t>(Get32(bmp, 18));
    const auto height = static_cast<std::int32_t>(Get32(bmp, 22));
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t at = Get32(bmp, 10) + stride * static_cast<std::size_t>(height - 1 - y) +
                           static_cast<std::size_t>(x) * 3;
    if (x < 0 || y < 0 || x >= width || y >= height || at + 3 > bmp.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at + 1])) << 8 |
           static_cast<unsigned char>(bmp[at]);
}

std::string MakeBmp(int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    std::string bmp = "BM";
    Put32(bmp, static_cast<std::uint32_t>(54 + stride * height), false);
    Put32(bmp, 0, false);
    Put32(bmp, 54, false);
    Put32(bmp, 40, false);
    Put32(bmp, static_cast<std::uint32_t>(width), false);
    Put32(bmp, static_cast<std::uint32_t>(height), false);
    Put16(bmp, 1);
    Put16(bmp, 24);
    for (int i = 0; i < 6; ++i) {
        Put32(bmp, 0, false);
    }
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const bool frame = x < 4 || y < 4 || x >= width - 4 || y >= height - 4;
            row += static_cast<char>(frame ? 40 : 255 * x / width);                         // blue
            row += static_cast<char>(frame ? 40 : 255 * y / height);                        // green
            row += static_cast<char>(frame ? 40 : 255 - 255 * (x + y) / (width + height));  // red
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        bmp += row;
    }
    return bmp;
}

std::string MakePng(int width, int height, std::uint32_t rgb) {
    std::string rows;
    for (int y = 0; y < height; ++y) {
        rows += '\0';
        for (int x = 0; x < width; ++x) {
            const bool inside = InDisc(x, y, width, height);
            rows += static_cast<char>((rgb >> 16) & 0xFF);
            rows += static_cast<char>((rgb >> 8) & 0xFF);
            rows += static_cast<char>(rgb & 0xFF);
            rows += static_cast<char>(inside ? 255 : 0);
        }
    }
    return EncodePng(width, height, 4, rows);
}

std::string BmpToPng(const std::string& bmp) {
    if (bmp.size() < 54 || bmp.compare(0, 2, "BM") != 0 || Get32(bmp, 14) < 40 ||
        (static_cast<unsigned char>(bmp[28]) | static_cast<unsigned char>(bmp[29]) << 8) != 24) {
        return {};
    }
    const auto width = static_cast<std::int32_t>(Get32(bmp, 18));
    const auto height = static_cast<std::int32_t>(Get32(bmp, 22));
    const std::uint32_t offset = Get32(bmp, 10);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    if (width <= 0 || height <= 0 ||
        offset + stride * static_cast<std::size_t>(height) > bmp.size()) {
        return {};
    }
    std::string rows;
    for (std::int32_t y = height - 1; y >= 0; --y) {
        rows += '\0';
        const std::size_t at = offset + stride * static_cast<std::size_t>(y);
        for (std::int32_t x = 0; x < width; ++x) {
            const std::size_t p = at + static_cast<std::size_t>(x) * 3;
            rows += bmp[p + 2];
            rows += bmp[p + 1];
            rows += bmp[p];
        }
    }
    return EncodePng(width, height, 3, rows);
}

}  // namespace quorlix::test
