#include "support/cfb_image.h"

#include <stdexcept>

namespace quorlix::test {

namespace {

constexpr std::uint32_t kEnd = 0xFFFFFFFE;

void Require(bool ok, const std::string& what) {
    if (!ok) {
        throw std::runtime_error("compound file check: " + what);
    }
}

char16_t Upper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

// Shorter first, then unit by unit upper-cased.
int Order(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return Upper(a[i]) < Upper(b[i]) ? -1 : 1;
        }
    }
    return 0;
}

}  // namespace

std::uint16_t CfbImage::U16(std::size_t offset) const {
    Require(offset + 2 <= bytes_.size(), "read past the end");
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[offset]) |
                                      static_cast<unsigned char>(bytes_[offset + 1]) << 8);
}

std::uint32_t CfbImage::U32(std::size_t offset) const {
    return U16(offset) | static_cast<std::uint32_t>(U16(offset + 2)) << 16;
}

CfbImage::CfbImage(std::string bytes) : bytes_(std::move(bytes)) {
    Require(bytes_.size() >= 1024 && bytes_.size() % 512 == 0, "size is whole sectors");
    Require(bytes_.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0, "signature");
    const std::uint32_t fatCount = U32(0x2C);
    for (std::uint32_t i = 0; i < fatCount && i < 109; ++i) {
        fatIds_.push_back(U32(0x4C + 4 * i));
    }
    std::uint32_t difat = U32(0x44);
    for (std::uint32_t d = 0; d < U32(0x48); ++d) {
        Require(difat < SectorCount(), "DIFAT sector in the file");
        difatIds_.push_back(difat);
        const std::size_t base = (difat + 1) * 512;
        for (int k = 0; k < 127 && fatIds_.size() < fatCount; ++k) {
            fatIds_.push_back(U32(base + 4 * k));
        }
        difat = U32(base + 508);
    }
    Require(fatIds_.size() == fatCount, "every FAT sector listed");
    for (std::uint32_t id : fatIds_) {
        Require(id < SectorCount(), "FAT sector in the file");
        for (int k = 0; k < 128; ++k) {
            fat_.push_back(U32((id + 1) * 512 + 4 * k));
        }
    }
    for (std::uint32_t s : Chain(U32(0x30))) {
        for (int k = 0; k < 4; ++k) {
            const std::size_t e = (s + 1) * 512 + k * 128;
            Entry entry;
            const std::size_t nameBytes = U16(e + 64);
            for (std::size_t u = 0; u + 2 < nameBytes; u += 2) {
                entry.name += static_cast<char16_t>(U16(e + u));
            }
            entry.type = static_cast<unsigned char>(bytes_[e + 66]);
            entry.colour = static_cast<unsigned char>(bytes_[e + 67]);
            entry.left = U32(e + 68);
            entry.right = U32(e + 72);
            entry.child = U32(e + 76);
            entry.classId = bytes_.substr(e + 80, 16);
            entry.created = U32(e + 100) | std::uint64_t{U32(e + 104)} << 32;
            entry.modified = U32(e + 108) | std::uint64_t{U32(e + 112)} << 32;
            entry.start = U32(e + 116);
            entry.size = U32(e + 120) | std::uint64_t{U32(e + 124)} << 32;
            entries_.push_back(entry);
        }
    }
    Require(!entries_.empty() && entries_[0].type == 5, "root entry first");
    if (U32(0x40) > 0) {
        for (std::uint32_t s : Chain(U32(0x3C))) {
            for (int k = 0; k < 128; ++k) {
                miniFat_.push_back(U32((s + 1) * 512 + 4 * k));
            }
        }
        for (std::uint32_t s : Chain(entries_[0].start)) {
            miniStream_ += bytes_.substr((s + 1) * 512, 512);
        }
        Require(entries_[0].size <= miniStream_.size(), "mini stream size within its chain");
        miniStream_.resize(entries_[0].size);
    }
}

std::vector<std::uint32_t> CfbImage::Chain(std::uint32_t start) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t s = start; s != kEnd; s = fat_[s]) {
        Require(s < SectorCount() && s < fat_.size(), "chain stays in the file");
        Require(chain.size() <= SectorCount(), "chain has no loop");
        chain.push_back(s);
    }
    return chain;
}

std::string CfbImage::Stream(const Entry& entry) const {
    std::string out;
    if (entry.size == 0) {
        Require(entry.start == kEnd, "empty stream starts at end of chain");
        return out;
    }
    if (InMiniStream(entry)) {
        for (std::uint32_t m = entry.start; m != kEnd; m = miniFat_[m]) {
            Require(m < miniFat_.size() && (m + 1) * 64 <= miniStream_.size(), "mini chain");
            Require(out.size() < entry.size, "mini chain no longer than its stream");
            out += miniStream_.substr(m * 64, 64);
        }
    } else {
        for (std::uint32_t s : Chain(entry.start)) {
            out += bytes_.substr((s + 1) * 512, 512);
        }
    }
    Require(out.size() >= entry.size && out.size() - entry.size < (InMiniStream(entry) ? 64 : 512),
            "chain length fits the size");
    out.resize(entry.size);
    return out;
}

int CfbImage::Descend(const Entry& storage, const std::u16string& name) const {
    std::uint32_t node = storage.child;
    for (std::size_t steps = 0; node != 0xFFFFFFFF; ++steps) {
        Require(node < entries_.size() && steps < entries_.size(), "tree link");
        const int order = Order(name, entries_[node].name);
        if (order == 0) {
            return static_cast<int>(node);
        }
        node = order < 0 ? entries_[node].left : entries_[node].right;
    }
    return -1;
}

}  // namespace quorlix::test
