#include "package/resource_tree.h"

#include "common/byte_order.h"
#include "package/pe_format_error.h"
#include "package/pe_headers.h"

namespace quorlix {

namespace {

constexpr std::uint64_t kDataAlignment = 8;

// Where each part of the section goes; filled in the same order as the section is written.
struct SectionLayout {
    std::vector<std::uint64_t> typeDirectories;
    std::vector<std::uint64_t> nameDirectories;  // one per type and name, in tree order
    std::uint64_t dataEntries = 0;
    std::map<std::u16string, std::uint64_t> strings;
    std::vector<std::uint64_t> blobs;  // one per resource, in tree order
    std::uint64_t size = 0;
};

void CheckTableSize(std::size_t count) {
    if (count > 0xFFFF) {
        throw PeFormatError("too many resources in one table");
    }
}

SectionLayout PlanSection(const ResourceTree& tree) {
    SectionLayout layout;
    CheckTableSize(tree.size());
    std::uint64_t at = kResourceDirectorySize + kResourceEntrySize * tree.size();
    std::uint64_t resourceCount = 0;
    for (const auto& [type, names] : tree) {
        CheckTableSize(names.size());
        layout.typeDirectories.push_back(at);
        at += kResourceDirectorySize + kResourceEntrySize * names.size();
    }
    for (const auto& [type, names] : tree) {
        for (const auto& [name, languages] : names) {
            CheckTableSize(languages.size());
            layout.nameDirectories.push_back(at);
            at += kResourceDirectorySize + kResourceEntrySize * languages.size();
            resourceCount += languages.size();
        }
    }
    layout.dataEntries = at;
    at += kResourceDataEntrySize * resourceCount;
    const auto addString = [&](const ResourceName& key) {
        if (!key.isId() && key.name().size() > 0xFFFF) {
            throw PeFormatError("resource name too long");
        }
        if (!key.isId() && layout.strings.emplace(key.name(), at).second) {
            at += 2 + 2 * std::uint64_t{key.name().size()};
        }
    };
    for (const auto& [type, names] : tree) {
        addString(type);
        for (const auto& [name, languages] : names) {
            addString(name);
        }
    }
    for (const auto& [type, names] : tree) {
        for (const auto& [name, languages] : names) {
            for (const auto& [language, blob] : languages) {
                at = AlignUp(at, kDataAlignment);
                layout.blobs.push_back(at);
                at += blob.bytes.size();
            }
        }
    }
    layout.size = at;
    return layout;
}

void WriteDirectory(std::vector<std::uint8_t>& out, std::uint64_t at, std::size_t named,
                    std::size_t ids) {
    SetLE16(out.data() + at + 8, 4);  // version 4.0, as Windows writes it
    SetLE16(out.data() + at + 12, static_cast<std::uint16_t>(named));
    SetLE16(out.data() + at + 14, static_cast<std::uint16_t>(ids));
}

std::uint32_t NameField(const SectionLayout& layout, const ResourceName& key) {
    return key.isId()
               ? key.id()
               : kResourceHighBit | static_cast<std::uint32_t>(layout.strings.at(key.name()));
}

template <typename Table>
std::size_t NamedCount(const Table& table) {
    std::size_t named = 0;
    for (const auto& [key, value] : table) {
        named += key.isId() ? 0 : 1;
    }
    return named;
}

}  // namespace

std::vector<std::uint8_t> BuildResourceSection(const ResourceTree& tree, std::uint32_t sectionRva) {
    const SectionLayout layout = PlanSection(tree);
    if (layout.size >= kResourceHighBit || sectionRva + layout.size > 0xFFFFFFFFu) {
        throw PeFormatError("resource section too large");
    }
    std::vector<std::uint8_t> out(layout.size, 0);
    WriteDirectory(out, 0, NamedCount(tree), tree.size() - NamedCount(tree));
    std::size_t typeIndex = 0, nameIndex = 0, resourceIndex = 0;
    for (const auto& [type, names] : tree) {
        std::uint8_t* rootEntry =
            out.data() + kResourceDirectorySize + kResourceEntrySize * typeIndex;
        const std::uint64_t typeAt = layout.typeDirectories[typeIndex++];
        SetLE32(rootEntry, NameField(layout, type));
        SetLE32(rootEntry + 4, kResourceHighBit | static_cast<std::uint32_t>(typeAt));
        WriteDirectory(out, typeAt, NamedCount(names), names.size() - NamedCount(names));
        std::size_t nameSlot = 0;
        for (const auto& [name, languages] : names) {
            std::uint8_t* typeEntry =
                out.data() + typeAt + kResourceDirectorySize + kResourceEntrySize * nameSlot++;
            const std::uint64_t nameAt = layout.nameDirectories[nameIndex++];
            SetLE32(typeEntry, NameField(layout, name));
            SetLE32(typeEntry + 4, kResourceHighBit | static_cast<std::uint32_t>(nameAt));
            WriteDirectory(out, nameAt, 0, languages.size());
            std::size_t languageSlot = 0;
            for (const auto& [language, blob] : languages) {
                std::uint8_t* entry = out.data() + nameAt + kResourceDirectorySize +
                                      kResourceEntrySize * languageSlot++;
                const std::uint64_t dataEntryAt =
                    layout.dataEntries + kResourceDataEntrySize * resourceIndex;
                const std::uint64_t blobAt = layout.blobs[resourceIndex++];
                SetLE32(entry, language);
                SetLE32(entry + 4, static_cast<std::uint32_t>(dataEntryAt));
                SetLE32(out.data() + dataEntryAt, static_cast<std::uint32_t>(sectionRva + blobAt));
                SetLE32(out.data() + dataEntryAt + 4,
                        static_cast<std::uint32_t>(blob.bytes.size()));
                SetLE32(out.data() + dataEntryAt + 8, blob.codePage);
                std::copy(blob.bytes.begin(), blob.bytes.end(), out.begin() + blobAt);
            }
        }
    }
    for (const auto& [units, at] : layout.strings) {
        SetLE16(out.data() + at, static_cast<std::uint16_t>(units.size()));
        for (std::size_t i = 0; i < units.size(); ++i) {
            SetLE16(out.data() + at + 2 + 2 * i, units[i]);
        }
    }
    return out;
}

}  // namespace quorlix
