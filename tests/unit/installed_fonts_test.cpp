#include "platform/installed_fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <system_error>

#include "platform/collation.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu";
const std::string kFreeEuro = "/usr/share/groff/1.22.4/font/devps/freeeuro.pfa";

bool HaveDejaVu() {
    return fs::exists(kDejaVu + "/DejaVuSans.ttf") && fs::exists(kDejaVu + "/DejaVuSans-Bold.ttf");
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

void PutBigEndian32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
    }
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// A TrueType collection holding the given fonts, each table moved to its place in the file.
std::string MakeCollection(const std::vector<std::string>& fonts) {
    std::string ttc = "ttcf";
    ttc += std::string("\x00\x01\x00\x00", 4) + std::string(4 + 4 * fonts.size(), '\0');
    PutBigEndian32(ttc, 8, static_cast<std::uint32_t>(fonts.size()));
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        const auto base = static_cast<std::uint32_t>(ttc.size());
        PutBigEndian32(ttc, 12 + 4 * f, base);
        std::string font = fonts[f];
        const std::uint32_t tables = BigEndian(font, 4, 2);
        for (std::uint32_t t = 0; t < tables; ++t) {
            const std::size_t record = 12 + 16 * t;
            PutBigEndian32(font, record + 8, BigEndian(font, record + 8, 4) + base);
        }
        ttc += font + std::string((4 - font.size() % 4) % 4, '\0');
    }
    return ttc;
}

TEST(InstalledFonts, DejaVuFolderGivesWindowsNamesFullPathsSortedEachFileOnce) {
    if (!HaveDejaVu()) {
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    }
    const std::vector<FontListEntry> fonts = ListInstalledFonts({kDejaVu});
    std::set<std::string> ttfFiles;
    for (const auto& item : fs::directory_iterator(kDejaVu)) {
        if (item.path().extension() == ".ttf") {
            ttfFiles.insert(item.path().string());
        }
    }
    std::set<std::string> listed;
    for (const FontListEntry& font : fonts) {
        EXPECT_TRUE(font.displayName.ends_with(" (TrueType)")) << font.displayName;
        EXPECT_TRUE(listed.insert(font.fileEntry).second) << font.fileEntry << " twice";
    }
    EXPECT_EQ(listed, ttfFiles);

    auto entryFor = [&](const std::string& name) {
        const auto it = std::find_if(fonts.begin(), fonts.end(),
                                     [&](const FontListEntry& e) { return e.displayName == name; });
        return it == fonts.end() ? std::string("<missing>") : it->fileEntry;
    };
    EXPECT_EQ(entryFor("DejaVu Sans (TrueType)"), kDejaVu + "/DejaVuSans.ttf");
    EXPECT_EQ(entryFor("DejaVu Sans Bold (TrueType)"), kDejaVu + "/DejaVuSans-Bold.ttf");
    EXPECT_EQ(entryFor("DejaVu Sans Bold Oblique (TrueType)"),
              kDejaVu + "/DejaVuSans-BoldOblique.ttf");
    EXPECT_EQ(entryFor("DejaVu Sans Condensed Bold (TrueType)"),
              kDejaVu + "/DejaVuSansCondensed-Bold.ttf");
    for (std::size_t i = 1; i < fonts.size(); ++i) {
        EXPECT_LT(Upper(fonts[i - 1].displayName), Upper(fonts[i].displayName));
    }
}

TEST(InstalledFonts, CollectionIsOneEntryAndLinkedCopiesAndOtherFilesAreLeftOut) {
    if (!HaveDejaVu()) {
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    }
    TestFolder dir;
    test::WriteFile(dir / "pair.ttc",
                    MakeCollection({test::ReadFile(kDejaVu + "/DejaVuSans.ttf"),
                                    test::ReadFile(kDejaVu + "/DejaVuSans-Bold.ttf")}));
    fs::copy_file(kDejaVu + "/DejaVuSerif.ttf", dir / "serif.ttf");
    fs::create_symlink(dir / "serif.ttf", dir / "serif-link.ttf");
    fs::create_directories(dir / "sub");
    fs::copy_file(kDejaVu + "/DejaVuSansMono.ttf", dir / "sub/mono.ttf");
    test::WriteFile(dir / "readme.txt", "not a font");
    test::WriteFile(dir / "broken.ttf", std::string(100, 'x'));

    const std::vector<FontListEntry> fonts = ListInstalledFonts({dir.path()});
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[0].displayName, "DejaVu Sans & DejaVu Sans Bold (TrueType)");
    EXPECT_EQ(fonts[0].fileEntry, dir / "pair.ttc");
    EXPECT_EQ(fonts[1].displayName, "DejaVu Sans Mono (TrueType)");
    EXPECT_EQ(fonts[1].fileEntry, dir / "sub/mono.ttf");
    EXPECT_EQ(fonts[2].displayName, "DejaVu Serif (TrueType)");
    EXPECT_EQ(fonts[2].fileEntry, dir / "serif.ttf");

    // A single file given by a relative name is listed by its full path.
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    const std::vector<FontListEntry> single = ListInstalledFonts({"serif.ttf"});
    fs::current_path(previous);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].fileEntry, dir / "serif.ttf");

    EXPECT_THROW(ListInstalledFonts({dir / "missing"}), std::system_error);
}

TEST(InstalledFonts, TwoCopiesOfOneFaceGiveOneEntry) {
    if (!HaveDejaVu()) {
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    }
    TestFolder dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    fs::copy_file(kDejaVu + "/DejaVuSerif.ttf", dir / "a/serif.ttf");
    fs::copy_file(kDejaVu + "/DejaVuSerif.ttf", dir / "b/serif.ttf");
    const std::vector<FontListEntry> fonts = ListInstalledFonts({dir / "a", dir / "b"});
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].displayName, "DejaVu Serif (TrueType)");
}

TEST(InstalledFonts, Type1FontsFollowWithTheirMetricsFile) {
    if (!HaveDejaVu() || !fs::exists(kFreeEuro)) {
        GTEST_SKIP() << "no Type 1 font to copy on this machine";
    }
    TestFolder dir;
    // Renamed so that the Type 1 font sorts before every TrueType font by name.
    std::string outline = test::ReadFile(kFreeEuro);
    for (const std::string key : {"/FamilyName", "/FullName"}) {
        const std::string name = key + " (FreeEuro)";
        ASSERT_NE(outline.find(name), std::string::npos);
        outline.replace(outline.find(name), name.size(), key + " (Aa Euro)");
    }
    test::WriteFile(dir / "Euro.pfa", outline);
    test::WriteFile(dir / "Other.pfa", test::ReadFile(kFreeEuro));
    fs::copy_file(kDejaVu + "/DejaVuSans.ttf", dir / "sans.ttf");
    test::WriteFile(dir / "EURO.AFM", "StartFontMetrics 2.0\n");

    std::vector<FontListEntry> fonts = ListInstalledFonts({dir.path()});
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[0].displayName, "DejaVu Sans (TrueType)");
    EXPECT_EQ(fonts[1].displayName, "Aa Euro");
    EXPECT_EQ(fonts[1].fileEntry, dir / "EURO.AFM" + "|" + dir / "Euro.pfa");
    EXPECT_EQ(fonts[2].displayName, "FreeEuro");
    EXPECT_EQ(fonts[2].fileEntry, "") << "no metrics file beside Other.pfa";

    test::WriteFile(dir / "euro.pfm", "pfm");
    fonts = ListInstalledFonts({dir / "Euro.pfa"});
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].fileEntry, dir / "euro.pfm" + "|" + dir / "Euro.pfa");
}

TEST(InstalledFonts, MetricsFilePairingByName) {
    TestFolder dir;
    test::WriteFile(dir / "Font.pfb", "");
    EXPECT_EQ(MetricsFileFor(dir / "Font.pfb"), "");
    test::WriteFile(dir / "Fonts.afm", "");
    test::WriteFile(dir / "Font.afm.bak", "");
    fs::create_directories(dir / "font.pfm");  // a folder, not a metrics file
    EXPECT_EQ(MetricsFileFor(dir / "Font.pfb"), "");
    test::WriteFile(dir / "FONT.Afm", "");
    EXPECT_EQ(MetricsFileFor(dir / "Font.pfb"), dir / "FONT.Afm");
    test::WriteFile(dir / "font.PFM", "");
    EXPECT_EQ(MetricsFileFor(dir / "Font.pfb"), dir / "font.PFM") << ".pfm comes before .afm";
    EXPECT_EQ(MetricsFileFor(dir / "missing/Font.pfb"), "");
}

TEST(InstalledFonts, FaceNamesLeaveTheRegularStyleOut) {
    EXPECT_EQ(FaceName("DejaVu Sans", "Book"), "DejaVu Sans");
    EXPECT_EQ(FaceName("Liberation Serif", "Regular"), "Liberation Serif");
    EXPECT_EQ(FaceName("Foo", ""), "Foo");
    EXPECT_EQ(FaceName("DejaVu Sans", "Bold Oblique"), "DejaVu Sans Bold Oblique");
    EXPECT_EQ(FaceName("", "Bold"), "");
    EXPECT_EQ(SystemFontsFolder(), "/usr/share/fonts");
}

TEST(InstalledFonts, SortingIgnoresLetterCase) {
    std::vector<FontListEntry> entries = {
        {"beta", "1"}, {"Alpha", "2"}, {"Gamma", "3"}, {"alpha2", "4"}, {"ALPHA", "5"}};
    SortByDisplayName(entries);
    std::string order;
    for (const auto& e : entries) {
        order += e.displayName + "=" + e.fileEntry + " ";
    }
    // Texts equal but for case keep a fixed order among themselves.
    EXPECT_EQ(order, "ALPHA=5 Alpha=2 alpha2=4 beta=1 Gamma=3 ");
}

TEST(Collation, MissingLocaleFallsBackToUpperCaseCodeOrder) {
    const CaseInsensitiveCollation missing("xx_YY.UTF-8");
    EXPECT_EQ(missing.Key("abc"), missing.Key("ABC"));
    EXPECT_LT(missing.Key("a"), missing.Key("B"));
    EXPECT_LT(missing.Key("Z"), missing.Key("_"));

    EXPECT_EQ(WideFromUtf8("A\xC3\x89z"), std::wstring(L"A\u00C9z"));
    EXPECT_EQ(WideFromUtf8("\xF0\x9F\x98\x80"), std::wstring(1, static_cast<wchar_t>(0x1F600)));
    // Cut, overlong and surrogate sequences become U+FFFD, one per byte.
    EXPECT_EQ(WideFromUtf8("a\xC3"), std::wstring(L"a\uFFFD"));
    EXPECT_EQ(WideFromUtf8("\xC0\xAF"), std::wstring(L"\uFFFD\uFFFD"));
    EXPECT_EQ(WideFromUtf8("\xED\xA0\x80"), std::wstring(L"\uFFFD\uFFFD\uFFFD"));

    try {
        std::locale probe("C.UTF-8");
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "C.UTF-8 is not installed";
    }
    const CaseInsensitiveCollation utf8("C.UTF-8");
    EXPECT_EQ(utf8.Key("\xC3\xA9t\xC3\xA9"), utf8.Key("\xC3\x89T\xC3\x89")) << "é and É";
}

}  // namespace
}  // namespace quorlix
