#pragma once

// Constants of the compound file format (MS-CFB) shared by our writer and reader.
//
//   +--------+----------+----------+-----------+----------+-------------+------------+
//   | header | FAT      | DIFAT    | directory | mini FAT | mini stream | streams of |
//   | 512 B  | sectors  | sectors  | sectors   | sectors  | sectors     | 4,096 B+   |
//   +--------+----------+----------+-----------+----------+-------------+------------+
//   sector n starts at (n + 1) x 512; the writer lays the parts out in this order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorlix::cfb {

inline constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                           0xA1, 0xB1, 0x1A, 0xE1};
inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kSectorSize = 512;
inline constexpr std::size_t kMiniSectorSize = 64;
inline constexpr std::uint32_t kMiniStreamCutoff = 4096;
inline constexpr std::size_t kDirectoryEntrySize = 128;
inline constexpr std::size_t kHeaderFatSlots = 109;
inline constexpr std::size_t kMaxNameUnits = 31;

inline constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

inline constexpr std::uint8_t kTypeUnused = 0;
inline constexpr std::uint8_t kTypeStorage = 1;
inline constexpr std::uint8_t kTypeStream = 2;
inline constexpr std::uint8_t kTypeRoot = 5;
inline constexpr std::uint8_t kRed = 0;
inline constexpr std::uint8_t kBlack = 1;

using ClassId = std::array<std::uint8_t, 16>;

// {0003000C-0000-0000-C000-000000000046}, the OLE Package object.
inline constexpr ClassId kPackageClassId = {0x0C, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// The upper-case form of one UTF-16 unit used for name order (ASCII, Latin-1, Greek, Cyrillic).
constexpr char16_t UpperUnit(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 0x50);
    }
    return c;
}

// The order of the children of a storage: shorter name first, then unit by unit upper-cased.
constexpr int CompareNames(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = UpperUnit(a[i]);
        const char16_t y = UpperUnit(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

}  // namespace quorlix::cfb
