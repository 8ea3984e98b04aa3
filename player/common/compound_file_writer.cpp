#include "common/compound_file_writer.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/error.h"

namespace quorlix {

using namespace cfb;

namespace {

constexpr std::uint64_t kMaxStreamSize = 0x80000000;
constexpr std::uint64_t kMaxSectors = 0xFFFFFFF0;
constexpr std::size_t kFatEntriesPerSector = kSectorSize / 4;
constexpr std::size_t kDifatEntriesPerSector = kFatEntriesPerSector - 1;

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

bool IsMini(std::uint64_t size) {
    return size < kMiniStreamCutoff;
}

void WriteZeros(ByteSink& sink, std::uint64_t count) {
    static const std::uint8_t zeros[kSectorSize] = {};
    while (count > 0) {
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(count, kSectorSize));
        sink.Write(zeros, take);
        count -= take;
    }
}

// Writes 32-bit words one sector at a time.
void WriteWords(ByteSink& sink, const std::uint32_t* words, std::size_t count) {
    std::uint8_t bytes[kSectorSize];
    while (count > 0) {
        const std::size_t take = std::min(count, kSectorSize / 4);
        for (std::size_t i = 0; i < take; ++i) {
            SetLE32(bytes + 4 * i, words[i]);
        }
        sink.Write(bytes, take * 4);
        words += take;
        count -= take;
    }
}

// The FAT and DIFAT sector counts for a file of other sectors besides them: each depends on
// the other, so they are raised together until nothing changes.
void SizeFat(std::uint64_t other, std::uint64_t& fat, std::uint64_t& difat) {
    for (;;) {
        const std::uint64_t nextFat = CeilDiv(fat + difat + other, kFatEntriesPerSector);
        const std::uint64_t nextDifat =
            nextFat <= kHeaderFatSlots ? 0
                                       : CeilDiv(nextFat - kHeaderFatSlots, kDifatEntriesPerSector);
        if (nextFat == fat && nextDifat == difat) {
            break;
        }
        fat = nextFat;
        difat = nextDifat;
    }
}

void CheckName(const std::u16string& name) {
    if (name.empty() || name.size() > kMaxNameUnits ||
        name.find_first_of(u"/\\:!") != std::u16string::npos) {
        throw Error("A compound file entry name must have 1 to 31 characters without / \\ : !");
    }
}

}  // namespace

// Where each part of the file goes; sector numbers as in the FAT.
struct CompoundFileWriter::Layout {
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    std::uint32_t directoryStart = 0;
    std::uint32_t directorySectors = 0;
    std::uint32_t miniFatStart = kEndOfChain;
    std::uint32_t miniFatSectors = 0;
    std::uint32_t miniStreamStart = kEndOfChain;
    std::uint32_t miniStreamSectors = 0;
    std::uint32_t miniSectors = 0;
    std::uint32_t totalSectors = 0;
    // Per entry: first sector (mini sector for a small stream), or end of chain.
    std::vector<std::uint32_t> start;
};

// An entry's place in its storage's tree.
struct CompoundFileWriter::Links {
    std::uint32_t left = kNoEntry;
    std::uint32_t right = kNoEntry;
    std::uint32_t child = kNoEntry;
    std::uint8_t colour = kBlack;
};

CompoundFileWriter::CompoundFileWriter() {
    Entry root;
    root.name = u"Root Entry";
    root.type = kTypeRoot;
    entries_.push_back(std::move(root));
}

CompoundFileWriter::EntryId CompoundFileWriter::AddEntry(EntryId parent, const std::u16string& name,
                                                         std::uint8_t type) {
    if (parent >= entries_.size() || entries_[parent].type == kTypeStream) {
        throw Error("A compound file entry can only be added to a storage");
    }
    CheckName(name);
    for (EntryId sibling : entries_[parent].children) {
        if (CompareNames(entries_[sibling].name, name) == 0) {
            throw Error("A compound file storage cannot hold two entries of the same name");
        }
    }
    const auto id = static_cast<EntryId>(entries_.size());
    Entry entry;
    entry.name = name;
    entry.type = type;
    entries_.push_back(std::move(entry));
    entries_[parent].children.push_back(id);
    return id;
}

CompoundFileWriter::EntryId CompoundFileWriter::AddStorage(EntryId parent,
                                                           const std::u16string& name) {
    return AddEntry(parent, name, kTypeStorage);
}

void CompoundFileWriter::AddStream(EntryId parent, const std::u16string& name,
                                   StreamContent content) {
    if (content.size() > kMaxStreamSize) {
        throw Error("A compound file stream cannot hold more than 2 GiB");
    }
    const EntryId id = AddEntry(parent, name, kTypeStream);
    entries_[id].content = std::move(content);
}

void CompoundFileWriter::SetClassId(EntryId storage, const ClassId& classId) {
    if (storage >= entries_.size() || entries_[storage].type == kTypeStream) {
        throw Error("Only a storage has a class id");
    }
    entries_[storage].classId = classId;
}

void CompoundFileWriter::SetRootModifiedTime(std::uint64_t fileTime) {
    entries_[kRoot].modifiedTime = fileTime;
}

void CompoundFileWriter::SetRootColour(std::uint8_t colour) {
    entries_[kRoot].colour = colour == kRed ? kRed : kBlack;
}

CompoundFileWriter::Layout CompoundFileWriter::ComputeLayout() const {
    Layout layout;
    layout.start.assign(entries_.size(), kEndOfChain);
    std::uint64_t miniSectors = 0;
    std::uint64_t streamSectors = 0;
    for (const Entry& entry : entries_) {
        if (entry.type == kTypeStream && IsMini(entry.content.size())) {
            miniSectors += CeilDiv(entry.content.size(), kMiniSectorSize);
        } else if (entry.type == kTypeStream) {
            streamSectors += CeilDiv(entry.content.size(), kSectorSize);
        }
    }
    const std::uint64_t directorySectors =
        CeilDiv(entries_.size(), kSectorSize / kDirectoryEntrySize);
    const std::uint64_t miniFatSectors = CeilDiv(miniSectors, kFatEntriesPerSector);
    const std::uint64_t miniStreamSectors = CeilDiv(miniSectors * kMiniSectorSize, kSectorSize);
    const std::uint64_t other =
        directorySectors + miniFatSectors + miniStreamSectors + streamSectors;
    std::uint64_t fat = 0;
    std::uint64_t difat = 0;
    SizeFat(other, fat, difat);
    if (fat + difat + other > kMaxSectors) {
        throw Error("The compound file would be too large");
    }
    layout.fatSectors = static_cast<std::uint32_t>(fat);
    layout.difatSectors = static_cast<std::uint32_t>(difat);
    layout.directoryStart = static_cast<std::uint32_t>(fat + difat);
    layout.directorySectors = static_cast<std::uint32_t>(directorySectors);
    std::uint32_t next = layout.directoryStart + layout.directorySectors;
    if (miniSectors > 0) {
        layout.miniFatStart = next;
        layout.miniFatSectors = static_cast<std::uint32_t>(miniFatSectors);
        next += layout.miniFatSectors;
        layout.miniStreamStart = next;
        layout.miniStreamSectors = static_cast<std::uint32_t>(miniStreamSectors);
        next += layout.miniStreamSectors;
    }
    layout.miniSectors = static_cast<std::uint32_t>(miniSectors);
    layout.start[kRoot] = layout.miniStreamStart;
    layout.totalSectors = AssignStreamStarts(next, layout.start);
    return layout;
}

// Gives each stream its first mini sector or sector, streams in sectors from next on; returns
// the sector count of the file.
std::uint32_t CompoundFileWriter::AssignStreamStarts(std::uint32_t next,
                                                     std::vector<std::uint32_t>& start) const {
    std::uint32_t nextMini = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::uint64_t size = entries_[i].content.size();
        if (entries_[i].type != kTypeStream || size == 0) {
            continue;
        }
        if (IsMini(size)) {
            start[i] = nextMini;
            nextMini += static_cast<std::uint32_t>(CeilDiv(size, kMiniSectorSize));
        } else {
            start[i] = next;
            next += static_cast<std::uint32_t>(CeilDiv(size, kSectorSize));
        }
    }
    return next;
}

std::uint64_t CompoundFileWriter::FileSize() const {
    return (static_cast<std::uint64_t>(ComputeLayout().totalSectors) + 1) * kSectorSize;
}

// Links sorted[begin, end) into a balanced tree; nodes at redDepth are red, the rest black.
void CompoundFileWriter::BuildTree(const std::vector<EntryId>& sorted, std::size_t begin,
                                   std::size_t end, int depth, int redDepth,
                                   std::vector<Links>& links, EntryId& top) const {
    if (begin >= end) {
        top = kNoEntry;
        return;
    }
    const std::size_t middle = begin + (end - begin - 1) / 2;
    top = sorted[middle];
    Links& node = links[top];
    node.colour = depth == redDepth ? kRed : kBlack;
    BuildTree(sorted, begin, middle, depth + 1, redDepth, links, node.left);
    BuildTree(sorted, middle + 1, end, depth + 1, redDepth, links, node.right);
}

std::vector<CompoundFileWriter::Links> CompoundFileWriter::ComputeLinks() const {
    std::vector<Links> links(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::vector<EntryId> sorted = entries_[i].children;
        if (sorted.empty()) {
            continue;
        }
        std::sort(sorted.begin(), sorted.end(), [this](EntryId a, EntryId b) {
            return CompareNames(entries_[a].name, entries_[b].name) < 0;
        });
        // Only the last level is red, and only when it is not full.
        int fullDepth = 0;
        while ((std::size_t{2} << fullDepth) <= sorted.size()) {
            ++fullDepth;
        }
        const bool lastLevelFull = ((sorted.size() + 1) & sorted.size()) == 0;
        BuildTree(sorted, 0, sorted.size(), 0, lastLevelFull ? -1 : fullDepth, links,
                  links[i].child);
    }
    links[kRoot].colour = entries_[kRoot].colour;
    return links;
}

std::vector<std::uint8_t> CompoundFileWriter::HeaderBytes(const Layout& layout) const {
    std::vector<std::uint8_t> h(kHeaderSize, 0);
    std::copy(kSignature.begin(), kSignature.end(), h.begin());
    SetLE16(&h[0x18], 0x003E);
    SetLE16(&h[0x1A], 3);
    SetLE16(&h[0x1C], 0xFFFE);
    SetLE16(&h[0x1E], 9);
    SetLE16(&h[0x20], 6);
    SetLE32(&h[0x2C], layout.fatSectors);
    SetLE32(&h[0x30], layout.directoryStart);
    SetLE32(&h[0x38], kMiniStreamCutoff);
    SetLE32(&h[0x3C], layout.miniFatStart);
    SetLE32(&h[0x40], layout.miniFatSectors);
    SetLE32(&h[0x44], layout.difatSectors > 0 ? layout.fatSectors : kEndOfChain);
    SetLE32(&h[0x48], layout.difatSectors);
    for (std::size_t i = 0; i < kHeaderFatSlots; ++i) {
        SetLE32(&h[0x4C + 4 * i],
                i < layout.fatSectors ? static_cast<std::uint32_t>(i) : kFreeSector);
    }
    return h;
}

// Writes the FAT a sector at a time, so memory stays flat whatever the file's size: the FAT and
// DIFAT sectors, then every chain in file order (each part lies right after the one before),
// then free entries up to the end of the last FAT sector.
void CompoundFileWriter::WriteFat(const Layout& layout, ByteSink& sink) const {
    std::uint32_t words[kFatEntriesPerSector];
    std::size_t filled = 0;
    std::uint64_t next = 0;  // the sector whose entry comes next
    auto put = [&](std::uint32_t word) {
        words[filled++] = word;
        ++next;
        if (filled == kFatEntriesPerSector) {
            WriteWords(sink, words, filled);
            filled = 0;
        }
    };
    for (std::uint32_t s = 0; s < layout.fatSectors; ++s) {
        put(kFatSector);
    }
    for (std::uint32_t s = 0; s < layout.difatSectors; ++s) {
        put(kDifatSector);
    }
    auto chain = [&](std::uint32_t start, std::uint64_t count) {
        if (count > 0 && start != next) {
            throw Error("The compound file's sectors are out of order");
        }
        for (std::uint64_t k = 0; k < count; ++k) {
            put(k + 1 < count ? static_cast<std::uint32_t>(start + k + 1) : kEndOfChain);
        }
    };
    chain(layout.directoryStart, layout.directorySectors);
    chain(layout.miniFatStart, layout.miniFatSectors);
    chain(layout.miniStreamStart, layout.miniStreamSectors);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::uint64_t size = entries_[i].content.size();
        if (entries_[i].type == kTypeStream && !IsMini(size)) {
            chain(layout.start[i], CeilDiv(size, kSectorSize));
        }
    }
    const std::uint64_t end = std::uint64_t{layout.fatSectors} * kFatEntriesPerSector;
    while (next < end) {
        put(kFreeSector);
    }
}

void CompoundFileWriter::WriteDifat(const Layout& layout, ByteSink& sink) const {
    std::uint32_t nextFat = kHeaderFatSlots;
    for (std::uint32_t d = 0; d < layout.difatSectors; ++d) {
        std::uint32_t words[kFatEntriesPerSector];
        for (std::size_t k = 0; k < kDifatEntriesPerSector; ++k) {
            words[k] = nextFat < layout.fatSectors ? nextFat++ : kFreeSector;
        }
        words[kDifatEntriesPerSector] =
            d + 1 < layout.difatSectors ? layout.fatSectors + d + 1 : kEndOfChain;
        WriteWords(sink, words, kFatEntriesPerSector);
    }
}

void CompoundFileWriter::WriteDirectory(const Layout& layout, ByteSink& sink) const {
    const std::vector<Links> links = ComputeLinks();
    const std::size_t slots =
        std::size_t{layout.directorySectors} * (kSectorSize / kDirectoryEntrySize);
    for (std::size_t i = 0; i < slots; ++i) {
        std::uint8_t e[kDirectoryEntrySize] = {};
        Links link;
        if (i < entries_.size()) {
            const Entry& entry = entries_[i];
            link = links[i];
            for (std::size_t k = 0; k < entry.name.size(); ++k) {
                SetLE16(e + 2 * k, entry.name[k]);
            }
            SetLE16(e + 64, static_cast<std::uint16_t>((entry.name.size() + 1) * 2));
            e[66] = entry.type;
            e[67] = link.colour;
            std::copy(entry.classId.begin(), entry.classId.end(), e + 80);
            SetLE64(e + 108, entry.modifiedTime);
            const bool hasChain = entry.type == kTypeRoot || entry.type == kTypeStream;
            SetLE32(e + 116, hasChain ? layout.start[i] : 0);
            const std::uint64_t size = entry.type == kTypeRoot
                                           ? std::uint64_t{layout.miniSectors} * kMiniSectorSize
                                           : entry.content.size();
            SetLE64(e + 120, size);
        }
        SetLE32(e + 68, link.left);
        SetLE32(e + 72, link.right);
        SetLE32(e + 76, link.child);
        sink.Write(e, sizeof e);
    }
}

void CompoundFileWriter::WriteMiniFat(const Layout& layout, ByteSink& sink) const {
    std::vector<std::uint32_t> miniFat(std::size_t{layout.miniFatSectors} * kFatEntriesPerSector,
                                       kFreeSector);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::uint64_t size = entries_[i].content.size();
        if (entries_[i].type != kTypeStream || size == 0 || !IsMini(size)) {
            continue;
        }
        const std::uint64_t count = CeilDiv(size, kMiniSectorSize);
        for (std::uint64_t k = 0; k < count; ++k) {
            miniFat[layout.start[i] + k] =
                k + 1 < count ? static_cast<std::uint32_t>(layout.start[i] + k + 1) : kEndOfChain;
        }
    }
    WriteWords(sink, miniFat.data(), miniFat.size());
}

void CompoundFileWriter::WriteStreams(const Layout& layout, ByteSink& sink) const {
    for (const Entry& entry : entries_) {
        const std::uint64_t size = entry.content.size();
        if (entry.type == kTypeStream && size > 0 && IsMini(size)) {
            entry.content.WriteTo(sink);
            WriteZeros(sink, CeilDiv(size, kMiniSectorSize) * kMiniSectorSize - size);
        }
    }
    WriteZeros(sink, std::uint64_t{layout.miniStreamSectors} * kSectorSize -
                         std::uint64_t{layout.miniSectors} * kMiniSectorSize);
    for (const Entry& entry : entries_) {
        const std::uint64_t size = entry.content.size();
        if (entry.type == kTypeStream && !IsMini(size)) {
            entry.content.WriteTo(sink);
            WriteZeros(sink, CeilDiv(size, kSectorSize) * kSectorSize - size);
        }
    }
}

void CompoundFileWriter::Write(ByteSink& sink) const {
    const Layout layout = ComputeLayout();
    const std::vector<std::uint8_t> header = HeaderBytes(layout);
    sink.Write(header.data(), header.size());
    WriteFat(layout, sink);
    WriteDifat(layout, sink);
    WriteDirectory(layout, sink);
    WriteMiniFat(layout, sink);
    WriteStreams(layout, sink);
}

}  // namespace quorlix
