#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "cli/commands.h"
#include "conversion/option_fields.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

// True when word stands in the text as a whole word, not inside a longer name.
bool HasWord(const std::string& text, const std::string& word) {
    const auto isNamePart = [](char c) { return std::isalnum(static_cast<unsigned char>(c)); };
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !isNamePart(text[at - 1])) &&
            (end == text.size() || !isNamePart(text[end]))) {
            return true;
        }
    }
    return false;
}

// The page's text without the font changes (\\fB, \\fI, \\fR) around its words.
std::string WithoutFontChanges(std::string text) {
    for (std::size_t at; (at = text.find("\\f")) != std::string::npos;) {
        text.erase(at, 3);
    }
    return text;
}

TEST(ManualPages, CommandLinePageDescribesEveryCommandAndOptionField) {
    const std::string page = WithoutFontChanges(
        test::ReadFile(std::string(QUORLIX_SOURCE_DIR) + "/dist/man/quorlix-cli.1.in"));
    for (const Command& command : Commands()) {
        EXPECT_NE(page.find(".B " + std::string(command.name) + "\n"), std::string::npos)
            << command.name;
        for (const CliOption& option : command.options) {
            std::string escaped;
            for (const char c : "--" + option.name) {
                escaped += c == '-' ? std::string("\\-") : std::string(1, c);
            }
            EXPECT_TRUE(HasWord(page, escaped)) << "--" << option.name;
        }
    }
    for (const std::string& field : OptionFieldNames()) {
        EXPECT_TRUE(HasWord(page, field)) << field;
    }
}

}  // namespace
}  // namespace quorlix
