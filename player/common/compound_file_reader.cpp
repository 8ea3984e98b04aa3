#include "common/compound_file_reader.h"

#include <algorithm>
#include <array>

#include "common/byte_order.h"

namespace quorlix {

using namespace cfb;

namespace {

constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::size_t kMaxChunk = 65536;

[[noreturn]] void Fail(const std::string& what) {
    throw CompoundFileError("Damaged compound file: " + what);
}

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) {
    return a / b + (a % b != 0 ? 1 : 0);
}

}  // namespace

CompoundFileReader::CompoundFileReader(ByteSource& source) : source_(source), size_(source.Size()) {
    ReadHeader();
    ReadFatSectorList();
    ReadDirectory();
    ReadMiniStream();
}

CompoundFileReader::CompoundFileReader(std::span<const std::uint8_t> bytes)
    : ownedSource_(std::make_unique<MemoryByteSource>(bytes)),
      source_(*ownedSource_),
      size_(bytes.size()) {
    ReadHeader();
    ReadFatSectorList();
    ReadDirectory();
    ReadMiniStream();
}

CompoundFileReader::~CompoundFileReader() = default;

void CompoundFileReader::ReadHeader() {
    if (size_ < kHeaderSize) {
        throw CompoundFileError("Not a compound file: shorter than its header");
    }
    std::array<std::uint8_t, kHeaderSize> header{};
    source_.ReadAt(0, header.data(), header.size());
    const std::uint8_t* h = header.data();
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
    const std::uint64_t body = size_ > sectorSize_ ? size_ - sectorSize_ : 0;
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
    for (std::size_t i = 0; i < kHeaderFatSlots && fatSectorIds_.size() < fatSectors_; ++i) {
        fatSectorIds_.push_back(GetLE32(h + 0x4C + 4 * i));
    }
}

std::uint64_t CompoundFileReader::SectorOffset(std::uint32_t sector) const {
    return (std::uint64_t{sector} + 1) << sectorShift_;
}

void CompoundFileReader::ReadSector(std::uint32_t sector, std::uint8_t* buffer) const {
    source_.ReadAt(SectorOffset(sector), buffer, sectorSize_);
}

void CompoundFileReader::ReadFatSectorList() {
    const std::size_t perDifat = sectorSize_ / 4 - 1;
    std::vector<std::uint8_t> block(sectorSize_);
    std::uint32_t difat = firstDifatSector_;
    for (std::uint32_t d = 0; d < difatSectors_ && fatSectorIds_.size() < fatSectors_; ++d) {
        if (difat >= sectorCount_ || SectorOffset(difat) + sectorSize_ > size_) {
            Fail("DIFAT chain leaves the file");
        }
        ReadSector(difat, block.data());
        for (std::size_t k = 0; k < perDifat && fatSectorIds_.size() < fatSectors_; ++k) {
            fatSectorIds_.push_back(GetLE32(block.data() + 4 * k));
        }
        difat = GetLE32(block.data() + 4 * perDifat);
    }
    if (fatSectorIds_.size() < fatSectors_) {
        Fail("fewer FAT sectors listed than counted");
    }
    for (const std::uint32_t id : fatSectorIds_) {
        if (id >= sectorCount_ || SectorOffset(id) + sectorSize_ > size_) {
            Fail("FAT sector outside the file");
        }
    }
}

std::uint32_t CompoundFileReader::NextSector(std::uint32_t sector) const {
    const std::size_t perFat = sectorSize_ / 4;
    const std::uint32_t index = static_cast<std::uint32_t>(sector / perFat);
    if (index >= fatSectorIds_.size()) {
        Fail("sector chain ends before its stream");
    }
    if (index != fatCacheIndex_) {
        std::vector<std::uint8_t> block(sectorSize_);
        ReadSector(fatSectorIds_[index], block.data());
        fatCache_.resize(perFat);
        for (std::size_t k = 0; k < perFat; ++k) {
            fatCache_[k] = GetLE32(block.data() + 4 * k);
        }
        fatCacheIndex_ = index;
    }
    return fatCache_[sector % perFat];
}

// Walks the whole chain of a stream of size bytes, checking every link, and copies the part
// [offset, offset + count) into the sink, reading runs of adjacent sectors at once.
void CompoundFileReader::CopyChain(std::uint32_t start, std::uint64_t size, std::uint64_t offset,
                                   std::uint64_t count, const StreamSink& sink) const {
    const std::uint64_t needed = CeilDiv(size, sectorSize_);
    if (size > size_ || needed > sectorCount_) {
        Fail("stream larger than the file");
    }
    const std::uint64_t end = offset + count;
    const std::size_t fatCovered = fatSectorIds_.size() * (sectorSize_ / 4);
    std::vector<bool> visited(sectorCount_, false);
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(count, kMaxChunk)));
    std::uint64_t runStart = 0;
    std::size_t runLength = 0;
    auto flush = [&] {
        if (runLength != 0) {
            source_.ReadAt(runStart, buffer.data(), runLength);
            sink({buffer.data(), runLength});
            runLength = 0;
        }
    };
    std::uint32_t sector = start;
    for (std::uint64_t k = 0; k < needed; ++k) {
        if (sector >= sectorCount_ || sector >= fatCovered) {
            Fail("sector chain ends before its stream");
        }
        if (visited[sector]) {
            Fail("sector chain loops");
        }
        visited[sector] = true;
        const std::uint64_t position = k * sectorSize_;
        const std::uint64_t take = std::min<std::uint64_t>(sectorSize_, size - position);
        const std::uint64_t sectorStart = SectorOffset(sector);
        if (sectorStart + take > size_) {
            Fail("sector beyond the end of the file");
        }
        const std::uint64_t from = std::max(position, offset);
        const std::uint64_t to = std::min(position + take, end);
        if (from < to) {
            const std::uint64_t fileFrom = sectorStart + (from - position);
            const auto length = static_cast<std::size_t>(to - from);
            if (runLength == 0 || runStart + runLength != fileFrom ||
                runLength + length > buffer.size()) {
                flush();
                runStart = fileFrom;
            }
            runLength += length;
        }
        if (k + 1 < needed) {
            sector = NextSector(sector);
        }
    }
    flush();
}

std::vector<std::uint8_t> CompoundFileReader::ReadChain(std::uint32_t start,
                                                        std::uint64_t size) const {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(size, size_)));
    CopyChain(start, size, 0, size, [&](std::span<const std::uint8_t> chunk) {
        out.insert(out.end(), chunk.begin(), chunk.end());
    });
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
    std::vector<std::uint8_t> block(sectorSize_);
    while (sector != kEndOfChain) {
        if (sector >= sectorCount_ || sector / (sectorSize_ / 4) >= fatSectorIds_.size() ||
            SectorOffset(sector) + sectorSize_ > size_) {
            Fail("directory chain leaves the file");
        }
        if (visited[sector]) {
            Fail("directory chain loops");
        }
        visited[sector] = true;
        ReadSector(sector, block.data());
        for (std::size_t k = 0; k < perSector; ++k) {
            entries_.push_back(ParseEntry(block.data() + k * kDirectoryEntrySize));
        }
        sector = NextSector(sector);
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
        // Only the part the mini FAT addresses is ever read; the whole chain is still checked.
        const std::uint64_t used =
            std::min<std::uint64_t>(root.size, miniFat_.size() * std::uint64_t{kMiniSectorSize});
        CopyChain(root.startSector, root.size, 0, used, [&](std::span<const std::uint8_t> chunk) {
            miniStream_.insert(miniStream_.end(), chunk.begin(), chunk.end());
        });
    }
}

void CompoundFileReader::CopyMiniChain(std::uint32_t start, std::uint64_t size,
                                       std::uint64_t offset, std::uint64_t count,
                                       const StreamSink& sink) const {
    const std::uint64_t needed = CeilDiv(size, kMiniSectorSize);
    if (needed > miniFat_.size()) {
        Fail("stream larger than the mini stream");
    }
    // A mini stream is shorter than the cut-off, so it is gathered whole first.
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
        const std::uint64_t position = std::uint64_t{sector} * kMiniSectorSize;
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(kMiniSectorSize, size - out.size()));
        if (position + take > miniStream_.size()) {
            Fail("mini sector beyond the mini stream");
        }
        out.insert(out.end(), miniStream_.begin() + position,
                   miniStream_.begin() + position + take);
        sector = miniFat_[sector];
    }
    if (count != 0) {
        sink({out.data() + offset, static_cast<std::size_t>(count)});
    }
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

void CompoundFileReader::CopyStream(EntryId stream, std::uint64_t offset, std::uint64_t count,
                                    const StreamSink& sink) const {
    const CompoundEntry& e = entry(stream);
    if (e.type != kTypeStream) {
        Fail("not a stream");
    }
    if (offset > e.size || count > e.size - offset) {
        Fail("read beyond the end of a stream");
    }
    if (e.size == 0) {
        return;
    }
    if (e.size < kMiniStreamCutoff) {
        CopyMiniChain(e.startSector, e.size, offset, count, sink);
    } else {
        CopyChain(e.startSector, e.size, offset, count, sink);
    }
}

std::vector<std::uint8_t> CompoundFileReader::ReadStreamRange(EntryId stream, std::uint64_t offset,
                                                              std::uint64_t count) const {
    std::vector<std::uint8_t> out;
    CopyStream(stream, offset, count, [&](std::span<const std::uint8_t> chunk) {
        out.insert(out.end(), chunk.begin(), chunk.end());
    });
    return out;
}

std::vector<std::uint8_t> CompoundFileReader::ReadStream(EntryId stream) const {
    return ReadStreamRange(stream, 0, entry(stream).size);
}

}  // namespace quorlix
