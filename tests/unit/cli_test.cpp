#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "cli/arguments.h"
#include "platform/installed_fonts.h"
#include "support/cli_output.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu";

using test::CliRun;
using test::RunCliWith;

std::string FontLines(const std::vector<FontListEntry>& fonts) {
    std::string text;
    for (const FontListEntry& font : fonts) {
        text += font.displayName + "\t" + font.fileEntry + "\n";
    }
    return text;
}

std::string ProjectVersion() {
    const std::string cmake = test::ReadFile(std::string(QUORLIX_SOURCE_DIR) + "/CMakeLists.txt");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(cmake, match, std::regex(R"(project\([^)]*VERSION ([0-9.]+))")));
    return match.size() > 1 ? match[1].str() : "";
}

TEST(Cli, HelpAndVersion) {
    for (const std::string help : {"--help", "-h"}) {
        const CliRun run = RunCliWith({help});
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.starts_with("Usage: quorlix-cli COMMAND")) << run.out;
        EXPECT_NE(run.out.find("\n  fonts  "), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
    const CliRun fontsHelp = RunCliWith({"fonts", "--help"});
    EXPECT_EQ(fontsHelp.status, 0);
    EXPECT_TRUE(fontsHelp.out.starts_with("Usage: quorlix-cli fonts [OPTIONS]\n")) << fontsHelp.out;
    EXPECT_NE(fontsHelp.out.find("--from FILE_OR_FOLDER"), std::string::npos);
    EXPECT_NE(fontsHelp.out.find("-h, --help"), std::string::npos);
    EXPECT_EQ(RunCliWith({"fonts", "-h"}).out, fontsHelp.out);

    const CliRun version = RunCliWith({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quorlix-cli " + ProjectVersion() + "\n");
    EXPECT_EQ(std::string(CliVersion()), ProjectVersion());
}

TEST(Cli, UsageErrorsExitWithTwoAndNameTheMistake) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "quorlix-cli: no command given\nRun 'quorlix-cli --help' for usage.\n"},
        {{"bogus"}, "quorlix-cli: unknown command 'bogus'\nRun 'quorlix-cli --help' for usage.\n"},
        {{"--bogus"},
         "quorlix-cli: unknown option '--bogus'\nRun 'quorlix-cli --help' for usage.\n"},
        {{"fonts", "--bogus=1"},
         "quorlix-cli fonts: unknown option '--bogus'\nRun 'quorlix-cli fonts --help' for "
         "usage.\n"},
        {{"fonts", "-x"},
         "quorlix-cli fonts: unknown option '-x'\nRun 'quorlix-cli fonts --help' for usage.\n"},
        {{"fonts", "extra"},
         "quorlix-cli fonts: unexpected argument 'extra'\n"
         "Run 'quorlix-cli fonts --help' for usage.\n"},
        {{"fonts", "--from"},
         "quorlix-cli fonts: option '--from' needs a value FILE_OR_FOLDER\n"
         "Run 'quorlix-cli fonts --help' for usage.\n"},
        {{"fonts", "--help=yes"},
         "quorlix-cli fonts: option '--help' takes no value\n"
         "Run 'quorlix-cli fonts --help' for usage.\n"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = RunCliWith(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.err, message);
        EXPECT_EQ(run.out, "");
    }
}

TEST(Cli, FontsPrintsTheListTabSeparated) {
    if (!std::filesystem::exists(kDejaVu + "/DejaVuSans.ttf")) {
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    }
    const std::string file = kDejaVu + "/DejaVuSans.ttf";
    const CliRun chosen = RunCliWith({"fonts", "--from", kDejaVu, "--from=" + file});
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.out, FontLines(ListInstalledFonts({kDejaVu})));
    EXPECT_NE(chosen.out.find("DejaVu Sans Bold (TrueType)\t" + kDejaVu + "/DejaVuSans-Bold.ttf\n"),
              std::string::npos);

    const CliRun installed = RunCliWith({"fonts"});
    EXPECT_EQ(installed.status, 0) << installed.err;
    EXPECT_EQ(installed.out, FontLines(ListInstalledFonts()));

    const CliRun missing = RunCliWith({"fonts", "--from", "/nonexistent/fonts"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("quorlix-cli fonts: /nonexistent/fonts"), std::string::npos)
        << missing.err;
}

TEST(Arguments, ValuesFlagsAndPositionalArguments) {
    const std::vector<CliOption> options = {
        {"font", "FILE", true, "", '\0'},
        {"title", "TEXT", false, "", 't'},
        {"autorun", "", false, "", '\0'},
    };
    const ParsedArguments parsed = ParseArguments(
        {"a.doc", "--font", "x.ttf", "--title=A=B", "-", "--font=y.ttf", "--autorun", "--", "--z"},
        options);
    EXPECT_EQ(parsed.Values("font"), (std::vector<std::string>{"x.ttf", "y.ttf"}));
    EXPECT_EQ(parsed.Value("font"), "y.ttf");
    EXPECT_EQ(parsed.Value("title"), "A=B");
    EXPECT_TRUE(parsed.Has("autorun"));
    EXPECT_FALSE(parsed.Has("missing"));
    EXPECT_EQ(parsed.Value("missing"), "");
    EXPECT_EQ(parsed.positional(), (std::vector<std::string>{"a.doc", "-", "--z"}));
    EXPECT_EQ(ParseArguments({"-t", "--x"}, options).Value("title"), "--x");

    try {
        ParseArguments({"--title", "a", "-t", "b"}, options);
        FAIL() << "a second --title was taken";
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "option '-t' given more than once");
    }
    EXPECT_THROW(ParseArguments({"--autorun=1"}, options), UsageError);
    EXPECT_THROW(ParseArguments({"--fon"}, options), UsageError);
}

}  // namespace
}  // namespace quorlix
