// Reading a bitmap's header, colour masks and colour table.
#include <string>

#include "common/byte_order.h"
#include "imaging/dib.h"
#include "platform/error.h"

namespace quorlix {

namespace {

constexpr std::size_t kCoreHeader = 12;  // OS/2 1.x: 16-bit sizes, 3-byte colours
constexpr std::size_t kInfoHeader = 40;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

[[noreturn]] void FailBmp(const std::string& reason) {
    throw Error("Damaged BMP picture: " + reason);
}

bool KnownHeaderSize(std::uint32_t size) {
    return size == kCoreHeader || size == kInfoHeader || size == 52 || size == 56 || size == 64 ||
           size == 108 || size == 124;
}

bool BitsSupported(const DibInfo& info) {
    switch (info.compression) {
        case 0:
            return info.bits == 1 || info.bits == 4 || info.bits == 8 || info.bits == 16 ||
                   info.bits == 24 || info.bits == 32;
        case 1:
            return info.bits == 8;
        case 2:
            return info.bits == 4;
        case kBitFields:
        case kAlphaBitFields:
            return info.bits == 16 || info.bits == 32;
        default:
            return false;
    }
}

// The masks a bitmap without bit fields implies.
void DefaultMasks(DibInfo& info) {
    if (info.bits == 16) {
        info.masks = {0x7C00, 0x03E0, 0x001F, 0};
    } else {
        info.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    }
}

// Reads the masks, from inside a version 2 or later header or just after an older one; returns
// where the colour table starts.
std::size_t ReadMasks(std::span<const std::uint8_t> dib, std::size_t headerSize, DibInfo& info) {
    DefaultMasks(info);
    if (info.compression != kBitFields && info.compression != kAlphaBitFields) {
        return headerSize;
    }
    const std::size_t count = info.compression == kAlphaBitFields || headerSize >= 56 ? 4 : 3;
    const std::size_t at = headerSize > kInfoHeader ? kInfoHeader : headerSize;
    if (at + 4 * count > dib.size()) {
        FailBmp("colour masks end early");
    }
    for (std::size_t i = 0; i < count; ++i) {
        info.masks[i] = GetLE32(dib.data() + at + 4 * i);
    }
    return headerSize > kInfoHeader ? headerSize : headerSize + 4 * count;
}

void ReadPalette(std::span<const std::uint8_t> dib, std::size_t at, std::uint32_t used,
                 std::size_t entrySize, DibInfo& info) {
    std::uint64_t count = used;
    if (count == 0 && info.bits <= 8) {
        count = std::uint64_t{1} << info.bits;
    }
    if (at + count * entrySize > dib.size()) {
        FailBmp("colour table ends early");
    }
    info.tableEnd = at + count * entrySize;
    if (info.bits > 8) {
        return;  // a table beside true colours is only a hint for displays
    }
    // Indexes past the table read as black.
    info.palette.assign(std::size_t{1} << info.bits, {0, 0, 0});
    for (std::size_t i = 0; i < count && i < info.palette.size(); ++i) {
        const std::uint8_t* bgr = dib.data() + at + i * entrySize;
        info.palette[i] = {bgr[2], bgr[1], bgr[0]};
    }
}

}  // namespace

DibInfo ReadDibInfo(std::span<const std::uint8_t> dib) {
    if (dib.size() < 4) {
        FailBmp("header ends early");
    }
    const std::uint32_t headerSize = GetLE32(dib.data());
    if (!KnownHeaderSize(headerSize)) {
        FailBmp("unknown header size " + std::to_string(headerSize));
    }
    if (dib.size() < headerSize) {
        FailBmp("header ends early");
    }
    DibInfo info;
    const std::uint8_t* h = dib.data();
    const bool core = headerSize == kCoreHeader;
    std::int64_t height = 0;
    if (core) {
        info.width = GetLE16(h + 4);
        height = GetLE16(h + 6);
        info.bits = GetLE16(h + 10);
    } else {
        info.width = static_cast<std::int32_t>(GetLE32(h + 4));
        height = static_cast<std::int32_t>(GetLE32(h + 8));
        info.bits = GetLE16(h + 14);
        info.compression = GetLE32(h + 16);
    }
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    if (!BitsSupported(info) || (headerSize == 64 && info.compression > 2)) {
        FailBmp("unsupported kind (" + std::to_string(info.bits) + " bits, compression " +
                std::to_string(info.compression) + ")");
    }
    if (info.topDown && (info.compression == 1 || info.compression == 2)) {
        FailBmp("a compressed bitmap cannot be stored top-down");
    }
    const std::size_t tableAt = ReadMasks(dib, headerSize, info);
    ReadPalette(dib, tableAt, core ? 0 : GetLE32(h + 32), core ? 3 : 4, info);
    return info;
}

std::uint64_t DibPixelBytes(const DibInfo& info) {
    const std::uint64_t stride = (static_cast<std::uint64_t>(info.width) * info.bits + 31) / 32 * 4;
    return stride * static_cast<std::uint64_t>(info.height);
}

}  // namespace quorlix
