#include <algorithm>

#include "common/byte_order.h"
#include "imaging/image_loading.h"

namespace quorlix {

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> sig) {
    return bytes.size() >= sig.size() && std::equal(sig.begin(), sig.end(), bytes.begin());
}

// A Windows metafile: the placeable header's key, or a bare header (type 1 or 2, nine words,
// version 1 or 3).
bool IsWmf(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, {0xD7, 0xCD, 0xC6, 0x9A})) {
        return true;
    }
    if (bytes.size() < 18) {
        return false;
    }
    const std::uint16_t type = GetLE16(bytes.data());
    const std::uint16_t version = GetLE16(bytes.data() + 4);
    return (type == 1 || type == 2) && GetLE16(bytes.data() + 2) == 9 &&
           (version == 0x0300 || version == 0x0100);
}

// An enhanced metafile: a header record (type 1) with the " EMF" signature at offset 40.
bool IsEmf(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 44 && GetLE32(bytes.data()) == 1 &&
           GetLE32(bytes.data() + 40) == 0x464D4520;
}

// An icon file: reserved word 0, type 1, at least one image.
bool IsIco(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 6 && GetLE16(bytes.data()) == 0 && GetLE16(bytes.data() + 2) == 1 &&
           GetLE16(bytes.data() + 4) != 0;
}

}  // namespace

ImageKind DetectImageKind(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) {
        return ImageKind::Jpeg;
    }
    if (StartsWith(bytes, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) {
        return ImageKind::Png;
    }
    if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) ||
        StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'})) {
        return ImageKind::Gif;
    }
    if (StartsWith(bytes, {'B', 'M'})) {
        return ImageKind::Bmp;
    }
    if (IsEmf(bytes)) {
        return ImageKind::Emf;
    }
    if (IsWmf(bytes)) {
        return ImageKind::Wmf;
    }
    if (IsIco(bytes)) {
        return ImageKind::Ico;
    }
    return ImageKind::Unknown;
}

}  // namespace quorlix
