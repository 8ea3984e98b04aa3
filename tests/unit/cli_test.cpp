#include "cli/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "cli/arguments.h"
#include "cli/nearest_names.h"
#include "conversion/option_fields.h"
#include "platform/installed_fonts.h"
#include "support/cli_output.h"
#include "support/scoped_environment.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu";

using test::CliRun;
using test::RunCliWith;

// The lines `fonts` prints for a list: the fonts that have a file to travel with.
std::string FontLines(const std::vector<FontListEntry>& fonts) {
    std::string text;
    for (const FontListEntry& font : fonts) {
        if (!font.fileEntry.empty()) {
            text += font.displayName + "\t" + font.fileEntry + "\n";
        }
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

TEST(Cli, ConvertHelpListsEveryOptionFieldWithKindValuesAndDefault) {
    const CliRun run = RunCliWith({"convert", "--help"});
    EXPECT_EQ(run.status, 0);
    const std::string& help = run.out;
    const std::size_t table =
        help.find("\nOption fields of --set NAME=VALUE (kind: allowed values; default):\n");
    ASSERT_NE(table, std::string::npos) << help;
    for (const std::string& name : OptionFieldNames()) {
        EXPECT_NE(help.find("\n  " + name + " ", table), std::string::npos) << name;
    }
    // Each kind's line, exactly, with the column padding of the longest name.
    const auto line = [](const std::string& name, const std::string& rest) {
        return "\n  " + name +
               std::string(std::string("waterstringposition").size() + 2 - name.size(), ' ') +
               rest + "\n";
    };
    for (const std::string& expected : {
             line("opfilename", "flag: 1 or 0; default 1"),
             line("opfiletitle",
                  "text: any text without line breaks; default \"-This Word document will help "
                  "you\""),
             line("opwidth", "number: decimal digits; default 640"),
             line("firstsec", "number: decimal digits (0 waits for a click); default 3"),
             line("secondsec", "number: decimal digits (0 waits for a click); default 3"),
             line("opcomm",
                  "choice: 0 = Word 2000, 1 = XP, 2 = 2003, 3 = 2007, 4 = 2010 or "
                  "above; default 0"),
             line("watertype", "choice: 0 = none, 1 = text, 2 = image; default 0"),
             line("iconfilename",
                  "path: a file path (a missing file counts as none); default \"\""),
             line("watercolor", "colour: 8 hexadecimal digits; default 0000FFFF"),
             line("waterimagetrans", "percent: 0 to 100; default 0"),
             line("embedfontlist",
                  "font list: rows \"display name=file entry\" joined by \";\"; default \"\""),
         }) {
        EXPECT_NE(help.find(expected, table), std::string::npos) << expected << help;
    }
    EXPECT_NE(help.find("\n  waterfont" + std::string(12, ' ') + "font: font text: ", table),
              std::string::npos);
    // Other commands' help has no field table.
    EXPECT_EQ(RunCliWith({"inspect", "--help"}).out.find("Option fields"), std::string::npos);
}

TEST(Cli, UnknownOptionFieldSuggestsTheNearestNames) {
    EXPECT_EQ(EditDistance("opwidht", "opwidth"), 1u);
    EXPECT_EQ(EditDistance("", "abc"), 3u);
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
    EXPECT_EQ(EditDistance("OPMAX", "opmax"), 0u);
    const auto refusal = [](const std::string& setting) {
        const CliRun run = RunCliWith({"convert", "--set", setting});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        return run.err;
    };
    const std::string hint = "\nRun 'quorlix-cli convert --help' for usage.\n";
    EXPECT_EQ(
        refusal("opwidht=640"),
        "quorlix-cli convert: Unknown option field \"opwidht\" (did you mean opwidth?)" + hint);
    EXPECT_EQ(refusal("waterleft=5"),
              "quorlix-cli convert: Unknown option field \"waterleft\" (did you mean waterleft1 "
              "or waterleft2?)" +
                  hint);
    EXPECT_EQ(refusal("colour=00FF00FF"),
              "quorlix-cli convert: Unknown option field \"colour\"; 'quorlix-cli convert --help' "
              "lists the fields" +
                  hint);
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

TEST(Cli, FontsListsOnlyWhatCanTravelAndEmbedFontRefusesTheRestByName) {
    const std::string urw = "/usr/share/fonts/type1/urw-base35/";
    if (!std::filesystem::exists(urw + "C059-Roman.t1") ||
        !std::filesystem::exists(urw + "C059-Bold.afm")) {
        GTEST_SKIP() << "fonts-urw-base35 is not installed";
    }
    // A Type 1 outline alone, and one with its metrics file.
    test::TestFolder dir;
    std::filesystem::copy_file(urw + "C059-Roman.t1", dir / "C059-Roman.t1");
    std::filesystem::copy_file(urw + "C059-Bold.t1", dir / "C059-Bold.t1");
    std::filesystem::copy_file(urw + "C059-Bold.afm", dir / "C059-Bold.afm");
    const std::vector<FontListEntry> fonts = ListInstalledFonts({dir.path()});
    ASSERT_EQ(fonts.size(), 2u);
    const bool pairedFirst = !fonts[0].fileEntry.empty();
    const FontListEntry& paired = fonts[pairedFirst ? 0 : 1];
    const FontListEntry& lone = fonts[pairedFirst ? 1 : 0];
    ASSERT_TRUE(lone.fileEntry.empty());
    const CliRun listed = RunCliWith({"fonts", "--from", dir.path()});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, paired.displayName + "\t" + dir / "C059-Bold.afm" + "|" +
                              dir / "C059-Bold.t1" + "\n");

    // An installed font without a file is refused by its name, before anything is written.
    test::WriteFile(dir / "fonts.conf", "<fontconfig><dir>" + dir.path() + "</dir><cachedir>" +
                                            dir / "cache" + "</cachedir></fontconfig>");
    const test::ScopedEnvironment config("FONTCONFIG_FILE", dir / "fonts.conf");
    std::filesystem::create_directories(dir / "out");
    test::WriteFile(dir / "Plan.doc", "plan");
    const CliRun run = RunCliWith({"convert", "--output-folder", dir / "out", "--embed-font",
                                   lone.displayName, dir / "Plan.doc"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("the font '" + lone.displayName +
                           "' cannot be embedded: it has no font file that can travel"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
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
