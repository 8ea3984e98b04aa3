#include "conversion/document_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "conversion/output_naming.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;

TEST(DocumentList, ExactPathsAreUniqueButLetterCaseCounts) {
    DocumentList list;
    EXPECT_TRUE(list.AddFile("/d/A.doc"));
    EXPECT_FALSE(list.AddFile("/d/A.doc"));
    EXPECT_TRUE(list.AddFile("/d/a.doc"));
    EXPECT_EQ(list.items(), (std::vector<std::string>{"/d/A.doc", "/d/a.doc"}));
}

TEST(DocumentList, AddFolderTakesOnlyWordDocumentsDirectlyInIt) {
    TestFolder dir;
    for (const char* name : {"a.doc", "~$a.doc", "b.DOCX", "c.txt", "d", "x.do"}) {
        test::WriteFile(dir / name, "x");
    }
    std::filesystem::create_directories(dir / "e");
    test::WriteFile(dir / "e/f.doc", "x");

    DocumentList list;
    list.AddFile(dir / "a.doc");
    EXPECT_EQ(list.AddFolder(dir.path() + "/"), 1) << "a.doc was listed already";
    std::vector<std::string> sorted = list.items();
    std::ranges::sort(sorted);
    EXPECT_EQ(sorted, (std::vector<std::string>{dir / "a.doc", dir / "b.DOCX"}));
}

TEST(DocumentList, AddFolderWhosePathHoldsALockMarkAddsNothing) {
    TestFolder dir;
    std::filesystem::create_directories(dir / "~$locked");
    test::WriteFile(dir / "~$locked/a.doc", "x");
    DocumentList list;
    EXPECT_EQ(list.AddFolder(dir / "~$locked"), 0);
    EXPECT_EQ(list.AddFolder(dir / "missing"), 0);
    EXPECT_TRUE(list.empty());
}

TEST(OutputNaming, LastExtensionReplacedAndAutorunSubfolder) {
    EXPECT_EQ(OutputPathFor("/out/", "/docs/Guide.docx", false), "/out/Guide.exe");
    EXPECT_EQ(OutputPathFor("/out/", "/docs/Guide.docx", true), "/out/Guide/Guide.exe");
    EXPECT_EQ(OutputPathFor("/out/", "/docs/report.final.doc", true),
              "/out/report.final/report.final.exe");
    EXPECT_EQ(OutputNameFor("/docs/noext"), "noext.exe");
}

}  // namespace
}  // namespace quorlix
