#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "conversion/option_fields.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

using test::TestFolder;
using Words = std::vector<std::string>;

std::string Quoted(const std::string& word) {
    std::string text = "'";
    for (const char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

// What bash offers for the last of the words, the others being the command line before it (as
// bash splits it: "=" is a word of its own), run in folder. Sorted.
Words Complete(const Words& words, const TestFolder& folder) {
    std::string script = "cd " + Quoted(folder.path()) + " || exit 1\nsource " +
                         Quoted(QUORLIX_BASH_COMPLETION) + "\nCOMP_WORDS=(";
    for (const std::string& word : words) {
        script += Quoted(word) + " ";
    }
    script += ")\nCOMP_CWORD=" + std::to_string(words.size() - 1) +
              "\n_quorlix_cli\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n";
    test::WriteFile(folder / "complete.sh", script);
    const std::string command = "bash --norc --noprofile " + Quoted(folder / "complete.sh");
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) {
        output.append(buffer, n);
    }
    Words offered;
    for (std::size_t at = 0, end; (end = output.find('\n', at)) != output.npos; at = end + 1) {
        if (end > at) {
            offered.push_back(output.substr(at, end - at));
        }
    }
    std::sort(offered.begin(), offered.end());
    return offered;
}

TEST(BashCompletion, OffersCommandsOptionsAndEveryOptionFieldOfSet) {
    TestFolder dir;
    EXPECT_EQ(Complete({"quorlix-cli", ""}, dir),
              (Words{"convert", "defaults", "extract", "fonts", "inspect", "verify"}));
    EXPECT_EQ(Complete({"quorlix-cli", "--"}, dir), (Words{"--help", "--version"}));
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--"}, dir),
              (Words{"--autorun", "--defaults", "--embed-font", "--help", "--output-folder",
                     "--set", "--sign-password-env", "--sign-password-file", "--sign-pkcs12",
                     "--sign-timestamp"}));
    EXPECT_EQ(Complete({"quorlix-cli", "inspect", "--j"}, dir), (Words{"--json"}));

    Words fields;
    for (const std::string& name : OptionFieldNames()) {
        fields.push_back(name + "=");
    }
    std::sort(fields.begin(), fields.end());
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--set", ""}, dir), fields);
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--set", "opw"}, dir),
              (Words{"opweb=", "opwidth="}));
    EXPECT_EQ(
        Complete({"quorlix-cli", "convert", "--set", "waterstring"}, dir),
        (Words{"waterstringhr=", "waterstringposition=", "waterstringtrans=", "waterstringver="}));
    // After "NAME=" the value is the user's own.
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--set", "opwidth", "=", ""}, dir), Words{});
}

TEST(BashCompletion, OffersTheFilesEachArgumentTakes) {
    TestFolder dir;
    for (const char* name : {"Guide.doc", "Plan.DOCX", "notes.txt", "Guide.exe", "a.EXE"}) {
        test::WriteFile(dir / name, "x");
    }
    std::filesystem::create_directory(dir / "out");

    EXPECT_EQ(Complete({"quorlix-cli", "convert", ""}, dir),
              (Words{"Guide.doc", "Plan.DOCX", "out"}));
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--output-folder", ""}, dir), (Words{"out"}));
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--output-folder", "=", "o"}, dir),
              (Words{"out"}));
    // An option's value is not taken for a document: after it, documents again.
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--set", "opmax", "=", "0", "--output-folder",
                        "out", "G"},
                       dir),
              (Words{"Guide.doc"}));
    EXPECT_EQ(Complete({"quorlix-cli", "inspect", ""}, dir), (Words{"Guide.exe", "a.EXE", "out"}));
    EXPECT_EQ(Complete({"quorlix-cli", "inspect", "Guide.exe", ""}, dir), Words{});
    EXPECT_EQ(Complete({"quorlix-cli", "extract", "Guide.exe", ""}, dir), (Words{"out"}));
    EXPECT_EQ(Complete({"quorlix-cli", "verify", "G"}, dir), (Words{"Guide.exe"}));

    // Signing: a file, a variable's name, an address of the user's own.
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--sign-pkcs12", "n"}, dir),
              (Words{"notes.txt"}));
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--sign-password-env", "BASH_VERS"}, dir),
              (Words{"BASH_VERSINFO", "BASH_VERSION"}));
    EXPECT_EQ(Complete({"quorlix-cli", "convert", "--sign-timestamp", ""}, dir), Words{});
}

TEST(BashCompletion, OffersInstalledFontNamesForEmbedFont) {
    TestFolder dir;
    // The completion asks the program it completes for its fonts list.
    test::WriteFile(dir / "fake-cli",
                    "#!/bin/sh\nprintf 'DejaVu Sans Bold (TrueType)\\t/f/b.ttf\\n"
                    "DejaVu Serif (TrueType)\\t/f/s.ttf\\nArial (TrueType)\\tarial.ttf\\n'\n");
    std::filesystem::permissions(dir / "fake-cli", std::filesystem::perms::owner_all);
    EXPECT_EQ(Complete({dir / "fake-cli", "convert", "--embed-font", "DejaVu"}, dir),
              (Words{"DejaVu\\ Sans\\ Bold\\ \\(TrueType\\)", "DejaVu\\ Serif\\ \\(TrueType\\)"}));
}

}  // namespace
}  // namespace quorlix
