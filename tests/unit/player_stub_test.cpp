#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/program_resources.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

// Bounds-checked little-endian reads from a file held in memory.
struct Image {
    std::string bytes;

    std::uint32_t U8(std::uint64_t at) const {
        Need(at, 1);
        return static_cast<unsigned char>(bytes[at]);
    }
    std::uint32_t U16(std::uint64_t at) const { return U8(at) | (U8(at + 1) << 8); }
    std::uint32_t U32(std::uint64_t at) const { return U16(at) | (U16(at + 2) << 16); }
    std::string Text(std::uint64_t at, std::uint64_t count) const {
        Need(at, count);
        return bytes.substr(at, count);
    }
    void Need(std::uint64_t at, std::uint64_t count) const {
        if (at > bytes.size() || count > bytes.size() - at) {
            throw std::out_of_range("read outside the file at " + std::to_string(at));
        }
    }
};

struct Section {
    std::string name;
    std::uint32_t virtualAddress, virtualSize, rawSize, rawPointer;
};

// The headers of a PE32 file that the checks need.
struct PeFile {
    Image image;
    std::uint32_t machine = 0, symbolTable = 0, symbolCount = 0, characteristics = 0;
    std::uint32_t magic = 0, subsystem = 0, dllCharacteristics = 0;
    std::uint32_t resourceRva = 0, resourceSize = 0, importRva = 0;
    std::uint32_t relocationRva = 0, relocationSize = 0;
    std::vector<Section> sections;

    explicit PeFile(std::string bytes) : image{std::move(bytes)} {
        if (image.Text(0, 2) != "MZ") {
            throw std::runtime_error("no MZ header");
        }
        const std::uint32_t pe = image.U32(0x3C);
        if (image.Text(pe, 4) != std::string("PE\0\0", 4)) {
            throw std::runtime_error("no PE signature");
        }
        const std::uint32_t coff = pe + 4;
        machine = image.U16(coff);
        const std::uint32_t sectionCount = image.U16(coff + 2);
        symbolTable = image.U32(coff + 8);
        symbolCount = image.U32(coff + 12);
        const std::uint32_t optionalSize = image.U16(coff + 16);
        characteristics = image.U16(coff + 18);
        const std::uint32_t optional = coff + 20;
        magic = image.U16(optional);
        subsystem = image.U16(optional + 68);
        dllCharacteristics = image.U16(optional + 70);
        relocationRva = image.U32(optional + 96 + 5 * 8);
        relocationSize = image.U32(optional + 96 + 5 * 8 + 4);
        resourceRva = image.U32(optional + 96 + 2 * 8);
        resourceSize = image.U32(optional + 96 + 2 * 8 + 4);
        importRva = image.U32(optional + 96 + 1 * 8);
        for (std::uint32_t i = 0; i < sectionCount; ++i) {
            const std::uint32_t at = optional + optionalSize + 40 * i;
            std::string name = image.Text(at, 8);
            name.resize(name.find('\0') == std::string::npos ? 8 : name.find('\0'));
            sections.push_back({name, image.U32(at + 12), image.U32(at + 8), image.U32(at + 16),
                                image.U32(at + 20)});
        }
    }

    const Section& Rsrc() const {
        for (const Section& s : sections) {
            if (s.name == ".rsrc") {
                return s;
            }
        }
        throw std::runtime_error("no .rsrc section");
    }

    // The file offset of an image address.
    std::uint64_t OffsetOf(std::uint32_t rva) const {
        for (const Section& s : sections) {
            if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
                return std::uint64_t{rva} - s.virtualAddress + s.rawPointer;
            }
        }
        throw std::runtime_error("address outside every section");
    }

    // The names of the DLLs in the import directory, upper-cased.
    std::vector<std::string> ImportedDlls() const {
        std::vector<std::string> names;
        for (std::uint64_t at = OffsetOf(importRva);; at += 20) {
            const std::uint32_t nameRva = image.U32(at + 12);
            if (nameRva == 0) {
                return names;
            }
            std::string name;
            for (std::uint64_t c = OffsetOf(nameRva); image.U8(c) != 0; ++c) {
                name += static_cast<char>(std::toupper(static_cast<int>(image.U8(c))));
            }
            names.push_back(name);
        }
    }
};

// One entry of a resource directory table.
struct DirEntry {
    std::optional<std::uint32_t> id;
    std::string name;      // ASCII of a named entry
    std::uint32_t target;  // offset in the section; top bit set: a sub-directory
};

std::vector<DirEntry> ReadTable(const PeFile& pe, std::uint32_t offset) {
    const Section& rsrc = pe.Rsrc();
    const std::uint32_t base = rsrc.rawPointer;
    const std::uint32_t named = pe.image.U16(base + offset + 12);
    const std::uint32_t ids = pe.image.U16(base + offset + 14);
    std::vector<DirEntry> entries;
    for (std::uint32_t i = 0; i < named + ids; ++i) {
        const std::uint32_t at = base + offset + 16 + 8 * i;
        const std::uint32_t nameField = pe.image.U32(at);
        DirEntry entry{std::nullopt, "", pe.image.U32(at + 4)};
        if ((nameField & 0x80000000u) != 0) {
            const std::uint32_t s = base + (nameField & 0x7FFFFFFFu);
            for (std::uint32_t k = 0; k < pe.image.U16(s); ++k) {
                entry.name += static_cast<char>(pe.image.U16(s + 2 + 2 * k));
            }
        } else {
            entry.id = nameField & 0xFFFF;
        }
        entries.push_back(entry);
    }
    return entries;
}

// The one language of a resource of that type, found by id or by name: its language and bytes.
std::pair<std::uint32_t, std::string> FindResource(const PeFile& pe, std::uint32_t type,
                                                   std::optional<std::uint32_t> id,
                                                   const std::string& name) {
    for (const DirEntry& t : ReadTable(pe, 0)) {
        if (t.id != type || (t.target & 0x80000000u) == 0) {
            continue;
        }
        for (const DirEntry& n : ReadTable(pe, t.target & 0x7FFFFFFFu)) {
            if ((id && n.id != id) || (!id && n.name != name)) {
                continue;
            }
            const std::vector<DirEntry> languages = ReadTable(pe, n.target & 0x7FFFFFFFu);
            if (languages.size() != 1 || !languages[0].id ||
                (languages[0].target & 0x80000000u) != 0) {
                throw std::runtime_error("not exactly one language");
            }
            const Section& rsrc = pe.Rsrc();
            const std::uint32_t data = rsrc.rawPointer + languages[0].target;
            const std::uint32_t rva = pe.image.U32(data);
            const std::uint32_t size = pe.image.U32(data + 4);
            return {*languages[0].id,
                    pe.image.Text(rva - rsrc.virtualAddress + rsrc.rawPointer, size)};
        }
    }
    throw std::runtime_error("resource not found: type " + std::to_string(type) + " " + name);
}

PeFile Stub() {
    return PeFile(test::ReadFile(QUORLIX_STUB_PATH));
}

const Section& Named(const PeFile& pe, const std::string& name) {
    for (const Section& s : pe.sections) {
        if (s.name == name) {
            return s;
        }
    }
    throw std::runtime_error("no section " + name);
}

TEST(PlayerStub, IsAStrippedI386GuiProgramWithRelocationsAfterItsResources) {
    const PeFile pe = Stub();
    RecordProperty("stub_size", std::to_string(pe.image.bytes.size()));
    EXPECT_EQ(pe.machine, 0x14Cu) << "i386";
    EXPECT_EQ(pe.magic, 0x10Bu) << "PE32";
    EXPECT_EQ(pe.subsystem, 2u) << "Windows GUI, no console window";
    EXPECT_EQ(pe.symbolTable, 0u);
    EXPECT_EQ(pe.symbolCount, 0u);
    EXPECT_NE(pe.characteristics & 0x0020u, 0u) << "large-address aware";
    EXPECT_NE(pe.characteristics & 0x0002u, 0u) << "executable image";
    EXPECT_EQ(pe.characteristics & 0x0001u, 0u) << "relocations not stripped";
    EXPECT_NE(pe.dllCharacteristics & 0x0040u, 0u) << "DYNAMICBASE: loaded at a random address";
    EXPECT_NE(pe.dllCharacteristics & 0x0100u, 0u) << "NXCOMPAT: data never executable";
    ASSERT_GE(pe.sections.size(), 2u);
    const Section& rsrc = pe.Rsrc();
    const Section& reloc = Named(pe, ".reloc");
    EXPECT_EQ(pe.sections.back().name, ".reloc");
    EXPECT_EQ(pe.sections[pe.sections.size() - 2].name, ".rsrc");
    EXPECT_GT(reloc.virtualAddress, rsrc.virtualAddress);
    EXPECT_EQ(pe.relocationRva, reloc.virtualAddress);
    EXPECT_GT(pe.relocationSize, 8u) << "at least one block of relocations";
    EXPECT_LE(pe.relocationSize, reloc.virtualSize);
    for (const Section& s : pe.sections) {
        if (s.name != ".rsrc" && s.name != ".reloc") {
            EXPECT_LT(s.virtualAddress, rsrc.virtualAddress) << s.name;
            EXPECT_LT(s.rawPointer, rsrc.rawPointer) << s.name;
        }
    }
    EXPECT_EQ(pe.resourceRva, rsrc.virtualAddress);
    EXPECT_LE(pe.resourceSize, rsrc.virtualSize);
    EXPECT_EQ(reloc.rawPointer + reloc.rawSize, pe.image.bytes.size()) << "nothing after .reloc";
}

// The text of a UTF-16LE string in a version resource, as ASCII.
std::string Utf16Ascii(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text += bytes[i];
    }
    return text;
}

TEST(PlayerStub, CarriesItsManifestAndVersion) {
    const PeFile pe = Stub();
    const auto [manifestLanguage, manifest] = FindResource(pe, 24, 1, "");
    EXPECT_EQ(manifestLanguage, 1033u);
    for (const char* part :
         {"level=\"asInvoker\"", "uiAccess=\"false\"", "PerMonitorV2",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }

    const auto [versionLanguage, version] = FindResource(pe, 16, 1, "");
    EXPECT_EQ(versionLanguage, 1033u);
    const Image v{version};
    EXPECT_EQ(v.U16(0), version.size()) << "the block's length";
    EXPECT_EQ(Utf16Ascii(v.Text(6, 30)), "VS_VERSION_INFO");
    const std::uint64_t fixed = 40;  // after the key, its zero and padding to 4 bytes
    ASSERT_EQ(v.U32(fixed), 0xFEEF04BDu) << "VS_FIXEDFILEINFO signature";
    const std::string expected = QUORLIX_VERSION;
    const std::uint32_t major = v.U32(fixed + 8) >> 16, minor = v.U32(fixed + 8) & 0xFFFF;
    const std::uint32_t patch = v.U32(fixed + 12) >> 16;
    EXPECT_EQ(std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch),
              expected)
        << "file version";
    EXPECT_EQ(v.U32(fixed + 16), v.U32(fixed + 8)) << "product version";
    const std::string strings = Utf16Ascii(version.substr(fixed + 52));
    for (const std::string& part :
         {std::string("ProductName"), std::string("Dorvane Quorlix"),
          std::string("FileDescription"), std::string("Dorvane Quorlix document player"),
          std::string("FileVersion"), expected}) {
        EXPECT_NE(strings.find(part), std::string::npos) << part;
    }
}

// Every one is also a known DLL, which Windows loads from the system folder only, so that a file
// of the same name beside the output is never loaded before the player can limit the search.
TEST(PlayerStub, NeedsOnlyDllsThatEveryWindowsHas) {
    const std::vector<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL",   "GDI32.DLL",
                                              "ADVAPI32.DLL", "MSVCRT.DLL",   "OLE32.DLL",
                                              "SHELL32.DLL",  "COMDLG32.DLL", "SHLWAPI.DLL"};
    const std::vector<std::string> dlls = Stub().ImportedDlls();
    EXPECT_FALSE(dlls.empty());
    for (const std::string& dll : dlls) {
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), dll), allowed.end()) << dll;
    }
}

TEST(PlayerStub, MainIconGroupAndImagesInLanguage2052AreTheDefaultIcon) {
    const PeFile pe = Stub();
    const Image ico{test::ReadFile(QUORLIX_DEFAULT_ICON_PATH)};
    ASSERT_EQ(ico.U16(4), 3u) << "the default icon file has three images";

    const auto [groupLanguage, group] = FindResource(pe, 14, std::nullopt, "MAINICON");
    EXPECT_EQ(groupLanguage, 2052u);
    ASSERT_EQ(group.size(), 6u + 14u * 3u);
    const Image g{group};
    EXPECT_EQ(g.U16(0), 0u);
    EXPECT_EQ(g.U16(2), 1u);
    ASSERT_EQ(g.U16(4), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("image " + std::to_string(i + 1));
        const std::uint32_t entry = 6 + 16 * i;
        EXPECT_EQ(g.Text(6 + 14 * i, 12), ico.Text(entry, 12)) << "size, colours, planes, bits";
        EXPECT_EQ(g.U16(6 + 14 * i + 12), i + 1) << "RT_ICON id";
        const auto [language, image] = FindResource(pe, 3, i + 1, "");
        EXPECT_EQ(language, 2052u);
        EXPECT_EQ(image, ico.Text(ico.U32(entry + 12), ico.U32(entry + 8)));
    }
}

TEST(PlayerStub, ProgramResourcesHoldTheCompressedStubAndTheDefaultIcon) {
    const std::string stub = test::ReadFile(QUORLIX_STUB_PATH);
    const auto head = FindProgramResource("exefile", "head");
    ASSERT_TRUE(head.has_value());
    ASSERT_GE(head->size(), 4u);
    const Image resource{std::string(head->begin(), head->end())};
    ASSERT_EQ(resource.U32(0), stub.size());
    std::string inflated(stub.size() + 1, '\0');
    uLongf inflatedSize = static_cast<uLongf>(inflated.size());
    uLong consumed = static_cast<uLong>(head->size() - 4);
    ASSERT_EQ(uncompress2(reinterpret_cast<Bytef*>(inflated.data()), &inflatedSize,
                          head->data() + 4, &consumed),
              Z_OK);
    EXPECT_EQ(consumed, head->size() - 4) << "one zlib stream, nothing after it";
    inflated.resize(inflatedSize);
    EXPECT_TRUE(inflated == stub) << "the resource inflates exactly to the stub";

    const auto icon = FindProgramResource("ICONFILE", "DORICON");
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(std::string(icon->begin(), icon->end()), test::ReadFile(QUORLIX_DEFAULT_ICON_PATH));
    EXPECT_FALSE(FindProgramResource("EXEFILE", "HEADS").has_value());
}

}  // namespace
}  // namespace quorlix
