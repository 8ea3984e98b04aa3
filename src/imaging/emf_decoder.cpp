// Enhanced metafiles, turned into an SVG document by libemf2svg and drawn by librsvg.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include <emf2svg.h>
#include <uemf_endian.h>
#include <uemf_safe.h>

#include "common/byte_order.h"
#include "imaging/decoders.h"
#include "platform/error.h"

namespace quorlix {

namespace {

// Each record becomes a line of SVG many times its size; larger metafiles are refused.
constexpr std::size_t kMaxEmfBytes = 64u * 1024 * 1024;

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

[[noreturn]] void FailEmf(const std::string& reason) {
    throw Error("Damaged EMF picture: " + reason);
}

// A description (UTF-16, "application\0title\0\0") lies within the header record and holds a
// terminating zero: libemf2svg reads it up to a zero when the length is 0.
bool TextInside(std::span<const std::uint8_t> bytes, std::uint64_t at, std::uint64_t length,
                std::uint64_t end) {
    constexpr std::uint64_t kBaseHeader = 88;
    if (length == 0 || at < kBaseHeader || at % 2 != 0 || at + 2 * length > end) {
        return false;
    }
    for (std::uint64_t i = 0; i < length; ++i) {
        if (GetLE16(bytes.data() + at + 2 * i) == 0) {
            return true;
        }
    }
    return false;
}

// The header's own text and pixel-format blocks must lie inside the header record; libUEMF's
// checks leave them to the reader, and libemf2svg reads the text wherever it points.
void CheckEmfHeader(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kBaseHeader = 88;
    constexpr std::size_t kPixelFormatFields = 100;
    if (bytes.size() < kBaseHeader || GetLE32(bytes.data()) != 1 ||
        GetLE32(bytes.data() + 40) != 0x464D4520) {
        FailEmf("header record missing");
    }
    const std::uint64_t size = GetLE32(bytes.data() + 4);
    const std::uint64_t textLength = GetLE32(bytes.data() + 60);
    const std::uint64_t textAt = GetLE32(bytes.data() + 64);
    const bool textOutside = (textLength != 0 || textAt != 0) &&
                             !TextInside(bytes, textAt, textLength, std::min(size, bytes.size()));
    bool formatOutside = false;
    if (size >= kPixelFormatFields && bytes.size() >= kPixelFormatFields) {
        const std::uint64_t formatSize = GetLE32(bytes.data() + 88);
        const std::uint64_t formatAt = GetLE32(bytes.data() + 92);
        formatOutside = formatSize != 0 && (formatAt < kBaseHeader || formatAt + formatSize > size);
    }
    if (size > bytes.size() || textOutside || formatOutside) {
        FailEmf("header record points outside itself");
    }
}

// libemf2svg trusts each record's sizes and counts, so every record is first put through
// libUEMF's own checks: the record lies within the file, and its counts fit its size. The walk
// ends at the end-of-file record, which must be there.
void CheckEmfRecords(std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t kHeaderRecord = 1;
    constexpr std::uint32_t kEndRecord = 14;
    constexpr int kNativeOrder =
        1;  // libUEMF: the record is in this machine's (little-endian) order
    const char* at = reinterpret_cast<const char*>(bytes.data());
    const char* end = at + bytes.size();
    for (std::size_t count = 0; at < end; ++count) {
        std::uint32_t size = 0;
        std::uint32_t type = 0;
        if (end - at < 8 || !U_emf_record_sizeok(at, end, &size, &type, kNativeOrder) || size < 8 ||
            size % 4 != 0 || size > static_cast<std::size_t>(end - at)) {
            FailEmf("record " + std::to_string(count) + " does not fit in the file");
        }
        if ((count == 0) != (type == kHeaderRecord)) {
            FailEmf("the header record is missing or repeated");
        }
        if (!U_emf_record_safe(at)) {
            FailEmf("record " + std::to_string(count) + " is inconsistent");
        }
        if (type == kEndRecord) {
            return;
        }
        at += size;
    }
    FailEmf("the end-of-file record is missing");
}

}  // namespace

RgbaImage DecodeEmf(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    if (bytes.size() > kMaxEmfBytes) {
        throw Error("EMF picture too large: " + std::to_string(bytes.size()) + " bytes");
    }
    CheckEmfHeader(bytes);
    CheckEmfRecords(bytes);
    generatorOptions options{};
    options.nameSpace = nullptr;  // no prefix: libemf2svg never frees a prefix it was given
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* out = nullptr;
    std::size_t length = 0;
    // libemf2svg reads the bytes without changing them, through a non-const pointer.
    auto* contents = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data()));
    const int ok = emf2svg(contents, bytes.size(), &out, &length, &options);
    const std::unique_ptr<char, FreeDeleter> svg(out);
    if (ok == 0 || svg == nullptr) {
        FailEmf("the records could not be read");
    }
    return RasteriseSvg(std::string_view(svg.get(), length), maxPixels);
}

}  // namespace quorlix
