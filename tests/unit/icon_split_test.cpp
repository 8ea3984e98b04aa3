#include "package/icon_split.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "support/pe_inspect.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::Le16;
using test::Le32;
using test::PutLe16;
using test::PutLe32;

// A 3-image icon file whose images are stored in reverse order, after a gap.
std::string ThreeImageIcon() {
    const std::string images[] = {test::RandomBytes(300, 1),
                                  std::string("\x89PNG\r\n\x1a\n", 8) + test::RandomBytes(90, 2),
                                  test::RandomBytes(1200, 3)};
    std::string file(6 + 16 * 3, '\0');
    PutLe16(file, 0, 0x0007);  // unusual reserved and type words are copied as they are
    PutLe16(file, 2, 0x0002);
    PutLe16(file, 4, 3);
    file += "gap!";
    for (int j = 2; j >= 0; --j) {
        const std::size_t e = 6 + 16 * j;
        file[e] = static_cast<char>(16 * (j + 1));
        file[e + 1] = static_cast<char>(16 * (j + 1));
        file[e + 2] = static_cast<char>(j);
        file[e + 3] = 'r';
        PutLe16(file, e + 4, static_cast<std::uint16_t>(j + 1));
        PutLe16(file, e + 6, 32);
        PutLe32(file, e + 8, static_cast<std::uint32_t>(images[j].size()));
        PutLe32(file, e + 12, static_cast<std::uint32_t>(file.size()));
        file += images[j];
    }
    return file;
}

TEST(SplitIconImages, WritesOneSingleImageFilePerEntry) {
    test::TestFolder dir;
    const std::string icon = ThreeImageIcon();
    test::WriteFile(dir / "three.ico", icon);
    std::filesystem::create_directory(dir / "preview");
    test::WriteFile(dir / "preview/3i.ico", "stale, left alone");
    EXPECT_EQ(SplitIconImages(dir / "three.ico", dir / "preview"), 3);
    for (int j = 0; j < 3; ++j) {
        const std::string single = test::ReadFile(dir / ("preview/" + std::to_string(j) + "i.ico"));
        const std::size_t e = 6 + 16 * j;
        const std::uint32_t size = Le32(icon, e + 8);
        ASSERT_EQ(single.size(), 22 + size) << j;
        EXPECT_EQ(Le16(single, 0), 0x0007);
        EXPECT_EQ(Le16(single, 2), 0x0002);
        EXPECT_EQ(Le16(single, 4), 1);
        EXPECT_EQ(single.substr(6, 12), icon.substr(e, 12));
        EXPECT_EQ(Le32(single, 18), 22u);
        EXPECT_EQ(single.substr(22), icon.substr(Le32(icon, e + 12), size));
    }
    EXPECT_EQ(test::ReadFile(dir / "preview/3i.ico"), "stale, left alone");
    // A trailing slash on the folder is the same folder.
    EXPECT_EQ(SplitIconImages(dir / "three.ico", dir / "preview/"), 3);
}

TEST(SplitIconImages, AShortFileIsAReadError) {
    test::TestFolder dir;
    const std::string icon = ThreeImageIcon();
    const std::size_t lastImage = Le32(icon, 6 + 12);  // image 0 is stored last
    for (const std::size_t length :
         {std::size_t{5}, std::size_t{21}, std::size_t{6 + 16 * 2}, lastImage + 10}) {
        test::WriteFile(dir / "short.ico", icon.substr(0, length));
        std::filesystem::remove_all(dir / "p");
        std::filesystem::create_directory(dir / "p");
        EXPECT_THROW(SplitIconImages(dir / "short.ico", dir / "p"), std::system_error) << length;
        EXPECT_FALSE(std::filesystem::exists(dir / "p/0i.ico")) << "no half-written image";
    }
    EXPECT_THROW(SplitIconImages(dir / "missing.ico", dir / "p"), std::system_error);
}

}  // namespace
}  // namespace quorlix
