#include "platform/mime_handlers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;
using test::WriteFile;

constexpr char kHelpType[] = "application/vnd.ms-htmlhelp";

// A desktop's folders under one test folder: the user's config and data, one system data folder.
struct Desktop {
    TestFolder root;
    MimeAssociationFolders folders;

    Desktop() {
        folders.config = {root / "config", root / "etc-xdg"};
        folders.data = {root / "home-data", root / "usr-share"};
        for (const std::string& folder :
             {root / "config", root / "etc-xdg", root / "home-data/applications",
              root / "usr-share/applications", root / "usr-share/mime"}) {
            std::filesystem::create_directories(folder);
        }
        WriteFile(root / "usr-share/mime/aliases",
                  "application/x-chm application/vnd.ms-htmlhelp\n"
                  "text/x-markdown text/markdown\n");
    }
    void Install(const std::string& relative, const std::string& extra = "") {
        std::filesystem::create_directories(std::filesystem::path(root / relative).parent_path());
        WriteFile(root / relative, "[Desktop Entry]\nType=Application\nName=Viewer\n" + extra);
    }
    bool Handles(const std::string& type) const { return HasApplicationFor(type, folders); }
};

TEST(MimeHandlers, FindsAnInstalledApplicationInTheCacheOrTheLists) {
    Desktop d;
    EXPECT_FALSE(d.Handles(kHelpType)) << "nothing registered";

    // The system's cache names a viewer, under the type's alias, that is not installed.
    WriteFile(d.root / "usr-share/applications/mimeinfo.cache",
              "[MIME Cache]\napplication/pdf=reader.desktop;\n"
              "application/x-chm=xchm.desktop;\n");
    EXPECT_FALSE(d.Handles(kHelpType)) << "the desktop entry is missing";
    d.Install("usr-share/applications/xchm.desktop");
    EXPECT_TRUE(d.Handles(kHelpType)) << "found through the alias";
    EXPECT_TRUE(d.Handles("application/x-chm"));
    EXPECT_FALSE(d.Handles("application/pdf")) << "reader.desktop is not installed";

    // The user removes it; a later-read system list cannot bring it back.
    WriteFile(d.root / "config/mimeapps.list",
              "[Removed Associations]\napplication/vnd.ms-htmlhelp=xchm.desktop;\n");
    WriteFile(d.root / "etc-xdg/mimeapps.list",
              "[Default Applications]\napplication/x-chm=xchm.desktop\n");
    EXPECT_FALSE(d.Handles(kHelpType));

    // A default of the user's own, in a subfolder named by its prefix (vendor-viewer.desktop).
    WriteFile(d.root / "config/mimeapps.list",
              "[Removed Associations]\napplication/vnd.ms-htmlhelp=xchm.desktop;\n"
              "[Default Applications]\r\napplication/vnd.ms-htmlhelp=vendor-viewer.desktop;\r\n");
    EXPECT_FALSE(d.Handles(kHelpType));
    d.Install("home-data/applications/vendor/viewer.desktop");
    EXPECT_TRUE(d.Handles(kHelpType));
}

TEST(MimeHandlers, HiddenEntriesAndDesktopListsCount) {
    Desktop d;
    d.Install("usr-share/applications/hidden.desktop", "Hidden=true\n");
    WriteFile(d.root / "usr-share/applications/mimeapps.list",
              "[Added Associations]\napplication/vnd.ms-htmlhelp=hidden.desktop;\n");
    EXPECT_FALSE(d.Handles(kHelpType)) << "a hidden entry is not installed";

    d.Install("usr-share/applications/kchm.desktop");
    WriteFile(d.root / "config/xfce-mimeapps.list",
              "[Added Associations]\napplication/vnd.ms-htmlhelp=kchm.desktop;\n");
    EXPECT_FALSE(d.Handles(kHelpType)) << "another desktop's list";
    d.folders.desktops = {"xfce"};
    EXPECT_TRUE(d.Handles(kHelpType));
}

}  // namespace
}  // namespace quorlix
