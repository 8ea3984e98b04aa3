#include "support/pe_inspect.h"

#include <algorithm>
#include <stdexcept>

namespace quorlix::test {

std::uint16_t Le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                                      static_cast<unsigned char>(bytes.at(at + 1)) << 8);
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    return Le16(bytes, at) | static_cast<std::uint32_t>(Le16(bytes, at + 2)) << 16;
}

void PutLe16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<char>(value & 0xFF);
    bytes.at(at + 1) = static_cast<char>(value >> 8);
}

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    PutLe16(bytes, at, static_cast<std::uint16_t>(value));
    PutLe16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

PeInfo ReadPeInfo(const std::string& file) {
    PeInfo info;
    const std::uint32_t pe = Le32(file, 0x3C);
    if (file.substr(pe, 4) != std::string("PE\0\0", 4)) {
        throw std::runtime_error("no PE signature");
    }
    const std::size_t coff = pe + 4;
    const std::uint16_t sectionCount = Le16(file, coff + 2);
    const std::uint16_t optionalSize = Le16(file, coff + 16);
    info.optionalHeader = coff + 20;
    const std::size_t o = info.optionalHeader;
    info.pe32Plus = Le16(file, o) == 0x20B;
    info.sectionAlignment = Le32(file, o + 32);
    info.fileAlignment = Le32(file, o + 36);
    info.sizeOfInitializedData = Le32(file, o + 8);
    info.sizeOfImage = Le32(file, o + 56);
    info.sizeOfHeaders = Le32(file, o + 60);
    info.checkSumOffset = o + 64;
    info.checkSum = Le32(file, o + 64);
    const std::size_t directories = o + (info.pe32Plus ? 112 : 96);
    const std::uint32_t count = Le32(file, directories - 4);
    for (std::uint32_t i = 0; i < count && i < 16; ++i) {
        info.directoryRva.push_back(Le32(file, directories + 8 * i));
        info.directorySize.push_back(Le32(file, directories + 8 * i + 4));
    }
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t h = o + optionalSize + 40 * i;
        SectionInfo s;
        s.name = file.substr(h, 8).c_str();
        s.virtualSize = Le32(file, h + 8);
        s.virtualAddress = Le32(file, h + 12);
        s.rawSize = Le32(file, h + 16);
        s.rawPointer = Le32(file, h + 20);
        s.flags = Le32(file, h + 36);
        info.sections.push_back(s);
    }
    return info;
}

std::size_t ResourceSectionIndex(const PeInfo& info) {
    const std::uint32_t rva = info.directoryRva.at(2);
    for (std::size_t i = 0; i < info.sections.size(); ++i) {
        const SectionInfo& s = info.sections[i];
        if (rva >= s.virtualAddress && rva < s.virtualAddress + s.virtualSize) {
            return i;
        }
    }
    throw std::runtime_error("no resource section");
}

namespace {

std::size_t RvaToOffset(const PeInfo& info, std::uint32_t rva) {
    for (const SectionInfo& s : info.sections) {
        if (rva >= s.virtualAddress && rva < s.virtualAddress + s.rawSize) {
            return s.rawPointer + (rva - s.virtualAddress);
        }
    }
    throw std::runtime_error("RVA outside the file");
}

std::string KeyText(const std::string& file, std::size_t root, std::uint32_t field) {
    if ((field & 0x80000000u) == 0) {
        return "#" + std::to_string(field & 0xFFFF);
    }
    const std::size_t at = root + (field & 0x7FFFFFFF);
    std::string text;
    for (std::uint16_t i = 0; i < Le16(file, at); ++i) {
        text.push_back(static_cast<char>(Le16(file, at + 2 + 2 * i)));
    }
    return text;
}

}  // namespace

std::vector<FoundResource> WalkResources(const std::string& file) {
    const PeInfo info = ReadPeInfo(file);
    const std::size_t root = RvaToOffset(info, info.directoryRva.at(2));
    const auto entries = [&](std::size_t dir) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> list;
        const unsigned count = Le16(file, dir + 12) + Le16(file, dir + 14);
        for (unsigned i = 0; i < count; ++i) {
            list.emplace_back(Le32(file, dir + 16 + 8 * i), Le32(file, dir + 20 + 8 * i));
        }
        return list;
    };
    std::vector<FoundResource> found;
    for (const auto& [typeKey, typeDir] : entries(root)) {
        for (const auto& [nameKey, nameDir] : entries(root + (typeDir & 0x7FFFFFFF))) {
            for (const auto& [language, dataEntry] : entries(root + (nameDir & 0x7FFFFFFF))) {
                FoundResource r;
                r.type = KeyText(file, root, typeKey);
                r.name = KeyText(file, root, nameKey);
                r.language = static_cast<std::uint16_t>(language);
                const std::size_t e = root + dataEntry;
                r.dataRva = Le32(file, e);
                r.codePage = Le32(file, e + 8);
                r.data = file.substr(RvaToOffset(info, r.dataRva), Le32(file, e + 4));
                found.push_back(r);
            }
        }
    }
    return found;
}

std::uint32_t ComputeCheckSum(const std::string& file, std::size_t checkSumOffset) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < file.size(); i += 2) {
        if (i == checkSumOffset || i == checkSumOffset + 2) {
            continue;
        }
        std::uint32_t word = static_cast<unsigned char>(file[i]);
        if (i + 1 < file.size()) {
            word |= static_cast<std::uint32_t>(static_cast<unsigned char>(file[i + 1])) << 8;
        }
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<std::uint32_t>(file.size());
}

std::vector<std::string> HeaderProblems(const std::string& file) {
    const PeInfo info = ReadPeInfo(file);
    std::vector<std::string> problems;
    const auto align = [](std::uint64_t v, std::uint64_t a) { return (v + a - 1) / a * a; };
    std::uint64_t initialized = 0;
    std::uint64_t nextVirtual = align(info.sizeOfHeaders, info.sectionAlignment);
    std::uint64_t fileEnd = info.sizeOfHeaders;
    for (const SectionInfo& s : info.sections) {
        if (s.rawSize % info.fileAlignment != 0 || s.rawPointer % info.fileAlignment != 0) {
            problems.push_back(s.name + ": raw size or pointer not aligned");
        }
        if (s.virtualAddress % info.sectionAlignment != 0) {
            problems.push_back(s.name + ": virtual address not aligned");
        }
        if (s.virtualAddress != nextVirtual) {
            problems.push_back(s.name + ": not adjacent to the section before it in memory");
        }
        const std::uint32_t mapped = s.virtualSize != 0 ? s.virtualSize : s.rawSize;
        nextVirtual = s.virtualAddress + align(mapped, info.sectionAlignment);
        if (s.rawSize != 0) {
            if (s.rawPointer < fileEnd) {
                problems.push_back(s.name + ": overlaps what is before it in the file");
            }
            fileEnd = std::uint64_t{s.rawPointer} + s.rawSize;
        }
        if (s.flags & 0x40) {
            initialized += s.rawSize;
        }
    }
    if (fileEnd > file.size()) {
        problems.push_back("sections run past the end of the file");
    }
    if (info.sizeOfImage != nextVirtual) {
        problems.push_back("SizeOfImage " + std::to_string(info.sizeOfImage) + " instead of " +
                           std::to_string(nextVirtual));
    }
    if (info.sizeOfInitializedData != initialized) {
        problems.push_back("SizeOfInitializedData is not the sum of initialized sections");
    }
    if (info.checkSum != ComputeCheckSum(file, info.checkSumOffset)) {
        problems.push_back("wrong checksum");
    }
    return problems;
}

std::string AppendSection(const std::string& file, const std::string& name, const std::string& data,
                          std::uint32_t flags, int directoryIndex) {
    const PeInfo info = ReadPeInfo(file);
    const auto align = [](std::uint64_t v, std::uint64_t a) { return (v + a - 1) / a * a; };
    const SectionInfo& last = info.sections.back();
    const std::uint32_t va = static_cast<std::uint32_t>(align(
        last.virtualAddress + std::max(last.virtualSize, last.rawSize), info.sectionAlignment));
    const std::uint32_t raw = static_cast<std::uint32_t>(align(data.size(), info.fileAlignment));
    std::string out = file.substr(0, align(last.rawPointer + last.rawSize, info.fileAlignment));
    out.resize(align(out.size(), info.fileAlignment), '\0');
    const std::uint32_t pointer = static_cast<std::uint32_t>(out.size());
    out += data;
    out.resize(out.size() + (raw - data.size()), '\0');
    out += file.substr(std::min<std::size_t>(file.size(), last.rawPointer + last.rawSize));

    const std::size_t coff = Le32(file, 0x3C) + 4;
    const std::uint16_t count = Le16(file, coff + 2);
    const std::size_t header = info.optionalHeader + Le16(file, coff + 16) + 40 * count;
    if (header + 40 > info.sizeOfHeaders) {
        throw std::runtime_error("no room for another section header");
    }
    std::string h(40, '\0');
    h.replace(0, std::min<std::size_t>(name.size(), 8), name.substr(0, 8));
    PutLe32(h, 8, static_cast<std::uint32_t>(data.size()));
    PutLe32(h, 12, va);
    PutLe32(h, 16, raw);
    PutLe32(h, 20, pointer);
    PutLe32(h, 36, flags);
    out.replace(header, 40, h);
    PutLe16(out, coff + 2, static_cast<std::uint16_t>(count + 1));
    PutLe32(out, info.optionalHeader + 56,
            static_cast<std::uint32_t>(align(va + data.size(), info.sectionAlignment)));
    if (flags & 0x40) {
        PutLe32(out, info.optionalHeader + 8, info.sizeOfInitializedData + raw);
    }
    if (directoryIndex >= 0) {
        const std::size_t d = info.optionalHeader + (info.pe32Plus ? 112 : 96) + 8 * directoryIndex;
        PutLe32(out, d, va);
        PutLe32(out, d + 4, static_cast<std::uint32_t>(data.size()));
    }
    PutLe32(out, info.checkSumOffset, ComputeCheckSum(out, info.checkSumOffset));
    return out;
}

std::string BytesOutsideResources(const std::string& file) {
    const PeInfo info = ReadPeInfo(file);
    const std::size_t r = ResourceSectionIndex(info);
    const SectionInfo& rsrc = info.sections[r];
    std::string outside = file.substr(0, rsrc.rawPointer);
    const std::size_t table = info.optionalHeader + Le16(file, Le32(file, 0x3C) + 20);
    const std::size_t directories = info.optionalHeader + (info.pe32Plus ? 112 : 96);
    for (const std::size_t field :
         {info.optionalHeader + 8, info.optionalHeader + 56, info.checkSumOffset, directories + 20,
          table + 40 * r + 8, table + 40 * r + 16}) {
        PutLe32(outside, field, 0);
    }
    // Sections after the resources may move (their addresses, and the relocation directory's
    // address with them); their bytes stay as they are.
    std::size_t end = std::size_t{rsrc.rawPointer} + rsrc.rawSize;
    for (std::size_t i = r + 1; i < info.sections.size(); ++i) {
        PutLe32(outside, table + 40 * i + 12, 0);
        PutLe32(outside, table + 40 * i + 20, 0);
        for (std::size_t d = 0; d < info.directoryRva.size(); ++d) {
            if (info.directoryRva[d] == info.sections[i].virtualAddress) {
                PutLe32(outside, directories + 8 * d, 0);
            }
        }
        const SectionInfo& s = info.sections[i];
        outside += file.substr(s.rawPointer, s.rawSize);
        end = std::max<std::size_t>(end, std::size_t{s.rawPointer} + s.rawSize);
    }
    return outside + file.substr(end);
}

std::string MakeMinimalPe(bool pe32Plus) {
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    std::string file(0x400, '\0');
    file[0] = 'M';
    file[1] = 'Z';
    PutLe32(file, 0x3C, 0x40);
    file.replace(0x40, 4, std::string("PE\0\0", 4));
    const std::size_t coff = 0x44;
    PutLe16(file, coff, pe32Plus ? 0x8664 : 0x14C);
    PutLe16(file, coff + 2, 1);
    PutLe16(file, coff + 16, static_cast<std::uint16_t>(optionalSize));
    PutLe16(file, coff + 18, 0x0102);
    const std::size_t o = coff + 20;
    PutLe16(file, o, pe32Plus ? 0x20B : 0x10B);
    PutLe32(file, o + 8, 0x200);    // SizeOfInitializedData
    PutLe32(file, o + 32, 0x1000);  // SectionAlignment
    PutLe32(file, o + 36, 0x200);   // FileAlignment
    PutLe16(file, o + 40, 4);       // major OS version
    PutLe16(file, o + 48, 4);       // major subsystem version
    PutLe32(file, o + 56, 0x2000);  // SizeOfImage
    PutLe32(file, o + 60, 0x200);   // SizeOfHeaders
    PutLe16(file, o + 68, 2);       // subsystem
    const std::size_t directories = o + (pe32Plus ? 112 : 96);
    PutLe32(file, directories - 4, 16);
    PutLe32(file, directories + 16, 0x1000);
    PutLe32(file, directories + 20, 16);
    const std::size_t section = o + optionalSize;
    file.replace(section, 5, ".rsrc");
    PutLe32(file, section + 8, 16);
    PutLe32(file, section + 12, 0x1000);
    PutLe32(file, section + 16, 0x200);
    PutLe32(file, section + 20, 0x200);
    PutLe32(file, section + 36, 0x40000040);
    PutLe16(file, 0x200 + 8, 4);  // root directory: version 4.0, no entries
    PutLe32(file, o + 64, ComputeCheckSum(file, o + 64));
    return file;
}

}  // namespace quorlix::test
