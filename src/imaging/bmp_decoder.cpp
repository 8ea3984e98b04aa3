// BMP files: a 14-byte file header, then a bitmap header, colour table and pixel data.
#include "common/byte_order.h"
#include "imaging/decoders.h"
#include "imaging/dib.h"
#include "platform/error.h"

namespace quorlix {

namespace {

constexpr std::size_t kFileHeader = 14;

}  // namespace

RgbaImage DecodeBmp(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    if (bytes.size() < kFileHeader || bytes[0] != 'B' || bytes[1] != 'M') {
        throw Error("Damaged BMP picture: file header missing");
    }
    const std::span<const std::uint8_t> dib = bytes.subspan(kFileHeader);
    const DibInfo info = ReadDibInfo(dib);
    // The pixel data starts where the file header says; an offset inside the headers or past
    // the end is taken as "right after the colour table", where writers put it.
    std::size_t start = GetLE32(bytes.data() + 10);
    if (start < kFileHeader + info.tableEnd || start >= bytes.size()) {
        start = kFileHeader + info.tableEnd;
    }
    return DecodeDibPixels(info, bytes.subspan(start), maxPixels, false);
}

}  // namespace quorlix
