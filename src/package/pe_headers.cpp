#include "package/pe_headers.h"

#include <algorithm>

#include "common/byte_order.h"
#include "package/pe_format_error.h"

namespace quorlix {

namespace {

constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;

void Require(bool condition, const char* what) {
    if (!condition) {
        throw PeFormatError(std::string("damaged executable: ") + what);
    }
}

bool Fits(std::span<const std::uint8_t> file, std::uint64_t offset, std::uint64_t size) {
    return offset <= file.size() && size <= file.size() - offset;
}

PeSection ReadSection(std::span<const std::uint8_t> file, std::size_t at) {
    const std::uint8_t* p = file.data() + at;
    PeSection section;
    const char* name = reinterpret_cast<const char*>(p);
    section.name.assign(name, std::find(name, name + 8, '\0'));
    section.virtualSize = GetLE32(p + 8);
    section.virtualAddress = GetLE32(p + 12);
    section.sizeOfRawData = GetLE32(p + 16);
    section.pointerToRawData = GetLE32(p + 20);
    section.characteristics = GetLE32(p + 36);
    section.headerOffset = at;
    if (section.sizeOfRawData != 0) {
        Require(Fits(file, section.pointerToRawData, section.sizeOfRawData),
                "section data past the end of the file");
    }
    return section;
}

}  // namespace

std::size_t PeHeaders::DataDirectoryOffset(unsigned index) const {
    return optionalHeaderOffset + (is64 ? 112 : 96) + 8 * std::size_t{index};
}

PeDataDirectory PeHeaders::DataDirectory(std::span<const std::uint8_t> file, unsigned index) const {
    if (index >= dataDirectoryCount) {
        return {};
    }
    const std::uint8_t* p = file.data() + DataDirectoryOffset(index);
    return {GetLE32(p), GetLE32(p + 4)};
}

std::optional<std::size_t> PeHeaders::SectionIndexOf(std::uint32_t rva) const {
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const PeSection& s = sections[i];
        if (rva >= s.virtualAddress && rva - s.virtualAddress < s.MappedSize()) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::uint64_t> PeHeaders::FileOffsetOf(std::uint32_t rva, std::uint32_t size) const {
    const std::optional<std::size_t> index = SectionIndexOf(rva);
    if (!index) {
        return std::nullopt;
    }
    const PeSection& s = sections[*index];
    const std::uint64_t inSection = rva - s.virtualAddress;
    if (inSection + size > std::min(s.sizeOfRawData, s.MappedSize())) {
        return std::nullopt;
    }
    return std::uint64_t{s.pointerToRawData} + inSection;
}

PeHeaders ParsePeHeaders(std::span<const std::uint8_t> file) {
    Require(file.size() >= 0x40 && file[0] == 'M' && file[1] == 'Z', "no MZ header");
    PeHeaders h;
    const std::uint32_t peOffset = GetLE32(file.data() + 0x3C);
    Require(Fits(file, peOffset, 24), "PE header past the end of the file");
    Require(GetLE32(file.data() + peOffset) == 0x00004550, "no PE signature");
    h.coffHeaderOffset = peOffset + 4;
    const std::uint8_t* coff = file.data() + h.coffHeaderOffset;
    const std::uint16_t sectionCount = GetLE16(coff + 2);
    h.pointerToSymbolTable = GetLE32(coff + 8);
    const std::uint16_t optionalSize = GetLE16(coff + 16);
    h.optionalHeaderOffset = h.coffHeaderOffset + 20;
    Require(Fits(file, h.optionalHeaderOffset, optionalSize), "optional header past the end");
    Require(optionalSize >= 2, "no optional header");
    const std::uint8_t* opt = file.data() + h.optionalHeaderOffset;
    const std::uint16_t magic = GetLE16(opt);
    Require(magic == kMagicPe32 || magic == kMagicPe32Plus, "unknown optional header magic");
    h.is64 = magic == kMagicPe32Plus;
    const std::size_t directoriesAt = h.is64 ? 112 : 96;
    Require(optionalSize >= directoriesAt, "optional header too short");
    h.sectionAlignment = GetLE32(opt + 32);
    h.fileAlignment = GetLE32(opt + 36);
    h.sizeOfImage = GetLE32(opt + 56);
    h.sizeOfHeaders = GetLE32(opt + 60);
    h.sizeOfInitializedData = GetLE32(opt + 8);
    const std::uint32_t rvaCount = GetLE32(opt + directoriesAt - 4);
    h.dataDirectoryCount = static_cast<std::uint32_t>(
        std::min<std::uint64_t>({rvaCount, 16, (optionalSize - directoriesAt) / 8}));
    const std::size_t tableAt = h.optionalHeaderOffset + optionalSize;
    Require(Fits(file, tableAt, std::uint64_t{sectionCount} * kSectionHeaderSize),
            "section table past the end of the file");
    for (std::size_t i = 0; i < sectionCount; ++i) {
        h.sections.push_back(ReadSection(file, tableAt + i * kSectionHeaderSize));
    }
    return h;
}

std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::size_t checkSumOffset) {
    PeChecksumSum sum;
    const std::size_t fieldEnd = std::min(file.size(), checkSumOffset + 4);
    sum.Add(0, file.first(std::min(file.size(), checkSumOffset)));
    if (fieldEnd < file.size()) {
        sum.Add(fieldEnd, file.subspan(fieldEnd));
    }
    return sum.Finish(file.size());
}

void PeChecksumSum::Add(std::uint64_t position, std::span<const std::uint8_t> bytes) {
    // Whole words summed in 64 bits never carry out: a file would need 2^48 of them.
    std::size_t i = 0;
    if (position % 2 != 0 && !bytes.empty()) {
        sum_ += std::uint64_t{bytes[0]} << 8;
        i = 1;
    }
    for (; i + 1 < bytes.size(); i += 2) {
        sum_ += GetLE16(bytes.data() + i);
    }
    if (i < bytes.size()) {
        sum_ += bytes[i];
    }
}

std::uint32_t PeChecksumSum::Finish(std::uint64_t fileLength) const {
    std::uint64_t sum = sum_;
    while (sum > 0xFFFF) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint32_t>(sum + fileLength);
}

std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace quorlix
