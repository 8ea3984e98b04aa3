#include "common/compound_file_reader.h"

#include <algorithm>

#include "common/byte_order.h"

namespace quorlix {

using namespace cfb;

namespace {

constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;

[[noreturn]] void Fail(const std::string& what) {
    throw CompoundFileError("Damaged compound file: " + what);
}

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) {
    return a / b + (a % b != 0 ? 1 : 0);
}

}  // namespace

CompoundFileReader::CompoundFileReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
    ReadHeader();
    ReadFat();
    ReadDirectory();
    ReadMiniStream();
}

void CompoundFileReader::ReadHeader() {
    if (bytes_.size() < kHeaderSize) {
        throw CompoundFileError("Not a compound file: shorter than its header");
    }
    const std::uint8_t* h = bytes_.data();
    if (!std::equal(kSignature.begin(), kSignature.end(), h)) {
        throw CompoundFileError("Not a compound file: wrong signature");
    }
    const std::uint16_t major = GetLE16(h + 0x1A);
    sectorShift_ = GetLE16(h + 0x1E);
    if (!((major == 3 && sectorShift_ == 9) || (major == 4 && sectorShift_ == 12))) {
        Fail("unknown version or sector size");
    }
    if (GetLE16(h + 0x1C) != 0xFFFE || GetLE16(h + 0x20) != 6 ||
        GetLE32(h + 0x38) != kMiniStreamCutoff) {
        Fail("unknown byte order, mini sector size or cut-off");
    }
    sectorSize_ = std::size_t{1} << sectorShift_;
    const std::uint64_t body = bytes_.size() > sectorSize_ ? bytes_.size() - sectorSize_ : 0;
    sectorCount_ = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(CeilDiv(body, sectorSize_), kMaxRegularSector));
    fatSectors_ = GetLE32(h + 0x2C);
    firstDirectorySector_ = GetLE32(h + 0x30);
    firstMiniFatSector_ = GetLE32(h + 0x3C);
    miniFatSectors_ = GetLE32(h + 0x40);
    firstDifatSector_ = GetLE32(h + 0x44);
    difatSectors_ = GetLE32(h + 0x48);
    if (fatSectors_ == 0 || fatSectors_ > sectorCount_ || difatSectors_ > sectorCount_ ||
        miniFatSectors_ > sectorCount_) {
        Fail("sector counts beyond the file");
    }
}

std::uint64_t CompoundFileReader::SectorOffset(std::uint32_t sector) const {
    return (std::uint64_t{sector} + 1) << sectorShift_;
}

void CompoundFileReader::ReadFat() {
    std::vector<std::uint32_t> fatIds;
    for (std::size_t i = 0; i < kHeaderFatSlots && fatIds.size() < fatSectors_; ++i) {
        fatIds.push_back(GetLE32(bytes_.data() + 0x4C + 4 * i));
    }
    const std::size_t perDifat = sectorSize_ / 4 - 1;
    std::uint32_t difat = firstDifatSector_;
    for (std::uint32_t d = 0; d < difatSectors_ && fatIds.size() < fatSectors_; ++d) {
        if (difat >= sectorCount_ || SectorOffset(difat) + sectorSize_ > bytes_.size()) {
            Fail("DIFAT chain leaves the file");
        }
        const std::uint8_t* p = bytes_.data() + SectorOffset(difat);
        for (std::size_t k = 0; k < perDifat && fatIds.size() < fatSectors_; ++k) {
            fatIds.push_back(GetLE32(p + 4 * k));
        }
        difat = GetLE32(p + 4 * perDifat);
    }
    if (fatIds.size() < fatSectors_) {
        Fail("fewer FAT sectors listed than counted");
    }
    const std::size_t perFat = sectorSize_ / 4;
    fat_.reserve(fatIds.size() * perFat);
    for (std::uint32_t id : fatIds) {
        if (id >= sectorCount_ || SectorOffset(id) + sectorSize_ > bytes_.size()) {
            Fail("FAT sector outside the file");
        }
        const std::uint8_t* p = bytes_.data() + SectorOffset(id);
        for (std::size_t k = 0; k < perFat; ++k) {
            fat_.push_back(GetLE32(p + 4 * k));
        }
    }
}

std::vector<std::uint8_t> CompoundFileReader::ReadChain(std::uint32_t start,
                                                        std::uint64_t size) const {
    const std::uint64_t needed = CeilDiv(size, sectorSize_);
    if (size > bytes_.size() || needed > sectorCount_) {
        Fail("stream larger than the file");
    }
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(size));
    std::vector<bool> visited(sectorCount_, false);
    std::uint32_t sector = start;
    for (std::uint64_t k = 0; k < needed; ++k) {
        if (sector >= sectorCount_ || sector >= fat_.size()) {
            Fail("sector chain ends before its stream");
        }
        if (visited[sector]) {
            Fail("sector chain loops");
        }
        visited[sector] = true;
        const std::uint64_t offset = SectorOffset(sector);
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize_, size - out.size()));
        if (offset + take > bytes_.size()) {
            Fail("sector beyond the end of the file");
        }
        out.insert(out.end(), bytes_.begin() + offset, bytes_.begin() + offset + take);
        sector = fat_[sector];
    }
    return out;
}

CompoundEntry CompoundFileReader::ParseEntry(const std::uint8_t* e) const {
    CompoundEntry entry;
    entry.type = e[66];
    if (entry.type != kTypeUnused) {
        const std::uint16_t nameBytes = GetLE16(e + 64);
        if (nameBytes < 2 || nameBytes > 64 || nameBytes % 2 != 0) {
            Fail("directory entry name length");
        }
        for (std::size_t u = 0; u + 1 < nameBytes / 2u; ++u) {
            entry.name += static_cast<char16_t>(GetLE16(e + 2 * u));
        }
    }
    if (entry.type != kTypeUnused && entry.type != kTypeStorage && entry.type != kTypeStream &&
        entry.type != kTypeRoot) {
        Fail("directory entry type");
    }
    entry.colour = e[67];
    entry.left = GetLE32(e + 68);
    entry.right = GetLE32(e + 72);
    entry.child = GetLE32(e + 76);
    std::copy(e + 80, e + 96, entry.classId.begin());
    entry.modifiedTime = GetLE64(e + 108);
    entry.startSector = GetLE32(e + 116);
    entry.size = sectorShift_ == 9 ? GetLE32(e + 120) : GetLE64(e + 120);
    return entry;
}

void CompoundFileReader::ReadDirectory() {
    std::vector<bool> visited(sectorCount_, false);
    std::uint32_t sector = firstDirectorySector_;
    const std::size_t perSector = sectorSize_ / kDirectoryEntrySize;
    while (sector != kEndOfChain) {
        if (sector >= sectorCount_ || sector >= fat_.size() ||
            SectorOffset(sector) + sectorSize_ > bytes_.size()) {
            Fail("directory chain leaves the file");
        }
        if (visited[sector]) {
            Fail("directory chain loops");
        }
        visited[sector] = true;
        const std::uint8_t* p = bytes_.data() + SectorOffset(sector);
        for (std::size_t k = 0; k < perSector; ++k) {
            entries_.push_back(ParseEntry(p + k * kDirectoryEntrySize));
        }
        sector = fat_[sector];
    }
    if (entries_.empty() || entries_[kRoot].type != kTypeRoot) {
        Fail("no root entry");
    }
}

void CompoundFileReader::ReadMiniStream() {
    if (miniFatSectors_ > 0) {
        const std::vector<std::uint8_t> raw =
            ReadChain(firstMiniFatSector_, std::uint64_t{miniFatSectors_} * sectorSize_);
        miniFat_.resize(raw.size() / 4);
        for (std::size_t i = 0; i < miniFat_.size(); ++i) {
            miniFat_[i] = GetLE32(raw.data() + 4 * i);
        }
    }
    const CompoundEntry& root = entries_[kRoot];
    if (root.size > 0) {
        miniStream_ = ReadChain(root.startSector, root.size);
    }
}

std::vector<std::uint8_t> CompoundFileReader::ReadMiniChain(std::uint32_t start,
                                                            std::uint64_t size) const {
    const std::uint64_t needed = CeilDiv(size, kMiniSectorSize);
    if (needed > miniFat_.size()) {
        Fail("stream larger than the mini stream");
    }
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(size));
    std::vector<bool> visited(miniFat_.size(), false);
    std::uint32_t sector = start;
    for (std::uint64_t k = 0; k < needed; ++k) {
        if (sector >= miniFat_.size()) {
            Fail("mini sector chain ends before its stream");
        }
        if (visited[sector]) {
            Fail("mini sector chain loops");
        }
        visited[sector] = true;
        const std::uint64_t offset = std::uint64_t{sector} * kMiniSectorSize;
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(kMiniSectorSize, size - out.size()));
        if (offset + take > miniStream_.size()) {
            Fail("mini sector beyond the mini stream");
        }
        out.insert(out.end(), miniStream_.begin() + offset, miniStream_.begin() + offset + take);
        sector = miniFat_[sector];
    }
    return out;
}

const CompoundEntry& CompoundFileReader::entry(EntryId id) const {
    if (id >= entries_.size()) {
        Fail("no such directory entry");
    }
    return entries_[id];
}

void CompoundFileReader::CheckChild(EntryId id) const {
    if (id >= entries_.size() || id == kRoot || entries_[id].type == kTypeUnused ||
        entries_[id].type == kTypeRoot) {
        Fail("directory tree link to a wrong entry");
    }
}

std::vector<CompoundFileReader::EntryId> CompoundFileReader::Children(EntryId storage) const {
    const CompoundEntry& parent = entry(storage);
    if (parent.type != kTypeStorage && parent.type != kTypeRoot) {
        Fail("children asked of a stream");
    }
    std::vector<EntryId> out;
    std::vector<EntryId> stack;
    std::vector<bool> seen(entries_.size(), false);
    EntryId node = parent.child;
    while (node != kNoEntry || !stack.empty()) {
        while (node != kNoEntry) {
            CheckChild(node);
            if (seen[node]) {
                Fail("directory tree loops");
            }
            seen[node] = true;
            stack.push_back(node);
            node = entries_[node].left;
        }
        node = stack.back();
        stack.pop_back();
        out.push_back(node);
        node = entries_[node].right;
    }
    return out;
}

std::optional<CompoundFileReader::EntryId> CompoundFileReader::Find(
    EntryId storage, std::u16string_view name) const {
    const CompoundEntry& parent = entry(storage);
    if (parent.type != kTypeStorage && parent.type != kTypeRoot) {
        Fail("entry looked up in a stream");
    }
    EntryId node = parent.child;
    for (std::size_t steps = 0; node != kNoEntry; ++steps) {
        CheckChild(node);
        if (steps >= entries_.size()) {
            Fail("directory tree loops");
        }
        const int order = CompareNames(name, entries_[node].name);
        if (order == 0) {
            return node;
        }
        node = order < 0 ? entries_[node].left : entries_[node].right;
    }
    // A tree ordered by another writer's idea of upper case still lists all its children.
    for (const EntryId child : Children(storage)) {
        if (CompareNames(name, entries_[child].name) == 0) {
            return child;
        }
    }
    return std::nullopt;
}

std::vector<std::uint8_t> CompoundFileReader::ReadStream(EntryId stream) const {
    const CompoundEntry& e = entry(stream);
    if (e.type != kTypeStream) {
        Fail("not a stream");
    }
    if (e.size == 0) {
        return {};
    }
    return e.size < kMiniStreamCutoff ? ReadMiniChain(e.startSector, e.size)
                                      : ReadChain(e.startSector, e.size);
}

}  // namespace quorlix
