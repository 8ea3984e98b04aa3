#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

const std::string kSources = QUORLIX_HELP_SOURCES;

// The files of the help project's [FILES] section.
std::vector<std::string> ProjectFiles() {
    const std::string project = test::ReadFile(kSources + "/Help.hhp");
    const std::size_t start = project.find("[FILES]\n");
    EXPECT_NE(start, std::string::npos);
    std::vector<std::string> files;
    for (std::size_t at = start + 8, end; (end = project.find('\n', at)) != project.npos;
         at = end + 1) {
        if (end == at || project[at] == '[') {
            break;
        }
        files.push_back(project.substr(at, end - at));
    }
    return files;
}

// Every value of the attribute in the text (href="x" gives x).
std::vector<std::string> AttributeValues(const std::string& text, const std::string& attribute) {
    const std::regex pattern(attribute + "=\"([^\"]*)\"", std::regex::icase);
    std::vector<std::string> values;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
        values.push_back((*it)[1]);
    }
    return values;
}

TEST(HelpFile, IsACompiledHelpFileHoldingEveryPageOfTheProject) {
    const std::string chm = test::ReadFile(QUORLIX_HELP_FILE);
    ASSERT_GT(chm.size(), 0x60u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(chm.data());
    EXPECT_EQ(chm.substr(0, 4), "ITSF");
    EXPECT_EQ(GetLE32(bytes + 4), 3u);     // version
    EXPECT_EQ(GetLE32(bytes + 8), 0x60u);  // header length
    const std::uint64_t directoryOffset = GetLE64(bytes + 0x48);
    ASSERT_LT(directoryOffset + 4, chm.size());
    EXPECT_EQ(chm.substr(directoryOffset, 4), "ITSP");

    // Directory entries name each file as "/" + its name, after a one-byte length.
    const std::vector<std::string> files = ProjectFiles();
    EXPECT_EQ(files.size(), 11u);
    for (const std::string& file : files) {
        const std::string name = "/" + file;
        EXPECT_NE(chm.find(static_cast<char>(name.size()) + name, directoryOffset),
                  std::string::npos)
            << file;
    }
}

TEST(HelpFile, EveryLinkLeadsToAPageOfTheManualAndEveryPageIsInTheContents) {
    const std::vector<std::string> files = ProjectFiles();
    const std::set<std::string> known(files.begin(), files.end());
    for (const std::string& file : files) {
        if (!file.ends_with(".html")) {
            continue;
        }
        const std::string page = test::ReadFile(kSources + "/" + file);
        EXPECT_NE(page.find("<title>"), std::string::npos) << file;
        EXPECT_NE(page.find("</html>"), std::string::npos) << file;
        for (const std::string& target : AttributeValues(page, "href")) {
            const std::string local = target.substr(0, target.find('#'));
            EXPECT_TRUE(known.count(local) == 1) << file << " links to " << target;
        }
    }
    std::set<std::string> listed;
    for (const std::string& target :
         AttributeValues(test::ReadFile(kSources + "/toc.hhc"), "value")) {
        if (known.count(target) == 1) {
            listed.insert(target);
        }
    }
    for (const std::string& file : files) {
        EXPECT_TRUE(!file.ends_with(".html") || listed.count(file) == 1) << file;
    }
}

}  // namespace
}  // namespace quorlix
