#include "package/pe_resource_writer.h"

#include <algorithm>
#include <string>

#include "common/byte_order.h"
#include "package/pe_format_error.h"
#include "package/pe_headers.h"

namespace quorlix {

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        throw PeFormatError(std::string("cannot rewrite the resources: ") + what);
    }
}

bool IsPowerOfTwo(std::uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

std::uint32_t Shifted(std::uint64_t value, std::int64_t delta) {
    const std::int64_t result = static_cast<std::int64_t>(value) + delta;
    Require(result >= 0 && result <= 0xFFFFFFFF, "an offset leaves the 32-bit range");
    return static_cast<std::uint32_t>(result);
}

// How the resource section and what follows it change.
struct Move {
    std::size_t resources = 0;  // index of the resource section
    std::uint32_t contentSize = 0;
    std::uint32_t newVirtualSize = 0;
    std::uint32_t newRawSize = 0;
    std::int64_t fileDelta = 0;     // for every byte after the old resource section's raw data
    std::int64_t virtualDelta = 0;  // for every section after it in memory
};

// The file layout a rewrite relies on: aligned, ascending sections, the resource section
// holding nothing but the resource tree.
void CheckLayout(std::span<const std::uint8_t> file, const PeHeaders& h, std::size_t r) {
    Require(IsPowerOfTwo(h.fileAlignment) && IsPowerOfTwo(h.sectionAlignment) &&
                h.sectionAlignment >= h.fileAlignment,
            "alignment is not a power of two");
    const PeSection& rs = h.sections[r];
    Require(rs.pointerToRawData % h.fileAlignment == 0 && rs.sizeOfRawData % h.fileAlignment == 0,
            "resource section not aligned in the file");
    const std::size_t tableEnd = h.sections.back().headerOffset + 40;
    Require(tableEnd <= rs.pointerToRawData, "resource section inside the headers");
    for (std::size_t i = 0; i < h.sections.size(); ++i) {
        const PeSection& s = h.sections[i];
        if (i > 0) {
            const PeSection& prev = h.sections[i - 1];
            Require(s.virtualAddress >=
                        prev.virtualAddress + AlignUp(prev.MappedSize(), h.sectionAlignment),
                    "sections not in ascending order");
        }
        if (s.sizeOfRawData != 0 && i < r) {
            Require(s.pointerToRawData + std::uint64_t{s.sizeOfRawData} <= rs.pointerToRawData,
                    "a section before the resources lies after them in the file");
        }
        if (s.sizeOfRawData != 0 && i > r) {
            Require(s.pointerToRawData >= rs.pointerToRawData + std::uint64_t{rs.sizeOfRawData},
                    "a section after the resources lies before them in the file");
        }
    }
    for (unsigned d = 0; d < h.dataDirectoryCount; ++d) {
        const PeDataDirectory dir = h.DataDirectory(file, d);
        if (d != kResourceDirectoryIndex && d != kCertificateDirectoryIndex &&
            dir.virtualAddress != 0) {
            Require(h.SectionIndexOf(dir.virtualAddress) != r,
                    "other data in the resource section");
        }
    }
}

Move PlanMove(const PeHeaders& h, std::size_t r, std::size_t contentSize) {
    const PeSection& rs = h.sections[r];
    Move move;
    move.resources = r;
    move.contentSize = static_cast<std::uint32_t>(contentSize);
    move.newRawSize = static_cast<std::uint32_t>(AlignUp(contentSize, h.fileAlignment));
    move.fileDelta = std::int64_t{move.newRawSize} - rs.sizeOfRawData;
    move.newVirtualSize = static_cast<std::uint32_t>(contentSize);
    const bool lowAlignment = h.sectionAlignment < 0x1000;
    Require(!lowAlignment || r + 1 == h.sections.size() || move.fileDelta == 0,
            "sections of a file mapped as it lies cannot move");
    if (r + 1 == h.sections.size()) {
        return move;
    }
    const std::uint64_t room = h.sections[r + 1].virtualAddress - rs.virtualAddress;
    const std::uint64_t needed = AlignUp(contentSize, h.sectionAlignment);
    if (needed <= room) {
        // Keep the sections after it where they are in memory: the section spans the room.
        move.newVirtualSize = static_cast<std::uint32_t>(room);
        return move;
    }
    for (std::size_t i = r + 1; i < h.sections.size(); ++i) {
        Require((h.sections[i].characteristics & kSectionDiscardable) != 0,
                "the resources outgrow their room and the next section cannot move");
    }
    move.virtualDelta = static_cast<std::int64_t>(needed - room);
    return move;
}

void PatchDirectories(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> file,
                      const PeHeaders& h, const Move& move, std::uint64_t oldEnd) {
    for (unsigned d = 0; d < h.dataDirectoryCount; ++d) {
        const PeDataDirectory dir = h.DataDirectory(file, d);
        std::uint8_t* field = out.data() + h.DataDirectoryOffset(d);
        if (d == kResourceDirectoryIndex) {
            SetLE32(field + 4, move.contentSize);
        } else if (d == kCertificateDirectoryIndex) {
            if (dir.virtualAddress >= oldEnd) {
                SetLE32(field, Shifted(dir.virtualAddress, move.fileDelta));
            }
        } else if (dir.virtualAddress != 0) {
            const std::optional<std::size_t> in = h.SectionIndexOf(dir.virtualAddress);
            if (in && *in > move.resources) {
                SetLE32(field, Shifted(dir.virtualAddress, move.virtualDelta));
            }
        }
    }
}

void PatchHeaders(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> file,
                  const PeHeaders& h, const Move& move) {
    const PeSection& rs = h.sections[move.resources];
    const std::uint64_t oldEnd = rs.pointerToRawData + std::uint64_t{rs.sizeOfRawData};
    std::uint64_t imageEnd = AlignUp(h.sizeOfHeaders, h.sectionAlignment);
    std::uint64_t initializedData = 0;
    for (std::size_t i = 0; i < h.sections.size(); ++i) {
        PeSection s = h.sections[i];
        if (i == move.resources) {
            s.virtualSize = move.newVirtualSize;
            s.sizeOfRawData = move.newRawSize;
        } else if (i > move.resources) {
            s.virtualAddress = Shifted(s.virtualAddress, move.virtualDelta);
            if (s.sizeOfRawData != 0 || s.pointerToRawData >= oldEnd) {
                s.pointerToRawData = Shifted(s.pointerToRawData, move.fileDelta);
            }
        }
        std::uint8_t* header = out.data() + s.headerOffset;
        SetLE32(header + 8, s.virtualSize);
        SetLE32(header + 12, s.virtualAddress);
        SetLE32(header + 16, s.sizeOfRawData);
        SetLE32(header + 20, s.pointerToRawData);
        imageEnd = std::max(imageEnd, AlignUp(s.virtualAddress + std::uint64_t{s.MappedSize()},
                                              h.sectionAlignment));
        if ((s.characteristics & kSectionInitializedData) != 0) {
            initializedData += s.sizeOfRawData;
        }
    }
    Require(imageEnd <= 0xFFFFFFFF && initializedData <= 0xFFFFFFFF, "image too large");
    SetLE32(out.data() + h.SizeOfImageOffset(), static_cast<std::uint32_t>(imageEnd));
    SetLE32(out.data() + h.SizeOfInitializedDataOffset(),
            static_cast<std::uint32_t>(initializedData));
    if (h.pointerToSymbolTable >= oldEnd) {
        SetLE32(out.data() + h.coffHeaderOffset + 8,
                Shifted(h.pointerToSymbolTable, move.fileDelta));
    }
    PatchDirectories(out, file, h, move, oldEnd);
}

}  // namespace

std::vector<std::uint8_t> RewriteResources(std::span<const std::uint8_t> file,
                                           const ResourceTree& tree) {
    const PeHeaders h = ParsePeHeaders(file);
    const PeDataDirectory dir = h.DataDirectory(file, kResourceDirectoryIndex);
    const std::optional<std::size_t> found =
        dir.virtualAddress != 0 ? h.SectionIndexOf(dir.virtualAddress) : std::nullopt;
    Require(found.has_value(), "no resource section");
    const std::size_t r = found.value();
    Require(h.sections[r].virtualAddress == dir.virtualAddress && h.sections[r].sizeOfRawData != 0,
            "no resource section");
    CheckLayout(file, h, r);
    const PeSection& rs = h.sections[r];
    const std::vector<std::uint8_t> content = BuildResourceSection(tree, rs.virtualAddress);
    const Move move = PlanMove(h, r, content.size());

    std::vector<std::uint8_t> out;
    out.reserve(file.size() + content.size());
    out.insert(out.end(), file.begin(), file.begin() + rs.pointerToRawData);
    out.insert(out.end(), content.begin(), content.end());
    out.resize(out.size() + (move.newRawSize - content.size()), 0);
    out.insert(out.end(), file.begin() + rs.pointerToRawData + rs.sizeOfRawData, file.end());
    PatchHeaders(out, file, h, move);
    SetLE32(out.data() + h.CheckSumOffset(), PeChecksum(out, h.CheckSumOffset()));
    return out;
}

}  // namespace quorlix
