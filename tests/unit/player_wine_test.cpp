// The built player run under Wine on outputs made by quorlix-cli, with a stand-in document
// program: the order of logos, document and fonts from the player's step log, the document
// window dressed, the watermark over it, the document byte for byte, nothing left in the
// temporary folder (nor by a killed run, after the next start), a signed output checking itself,
// damaged outputs and missing programs told in a sentence, a planted library left alone.
// Skipped where Wine or Xvfb is not installed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_output.h"
#include "support/code_signing.h"
#include "support/picture_files.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

constexpr char kMonoFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// A Linux path as Wine's Z: drive names it.
std::string WinePath(const std::string& path) {
    std::string windows = "Z:" + fs::absolute(path).string();
    for (char& c : windows) {
        if (c == '/') {
            c = '\\';
        }
    }
    return windows;
}

// The temporary folder of the Wine prefix's user, where the player makes its folders (Wine takes
// it from the prefix's registry, not from the environment).
fs::path WineTemp() {
    for (const fs::directory_entry& user :
         fs::directory_iterator(fs::path(QUORLIX_WINE_PREFIX) / "drive_c/users")) {
        if (user.path().filename() != "Public" && fs::is_directory(user.path() / "Temp")) {
            return user.path() / "Temp";
        }
    }
    ADD_FAILURE() << "no Temp folder in the Wine prefix";
    return fs::path(QUORLIX_WINE_PREFIX) / "drive_c/users/unknown/Temp";
}

// The names in a folder, sorted.
std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs a Windows program under Wine on a virtual display, bounded in time; the exit status of
// the run (the program's own is in its step log).
int RunUnderWine(const std::string& program, const std::vector<std::string>& environment,
                 const std::string& output) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (const std::string& setting : environment) {
            ::putenv(const_cast<char*>(setting.c_str()));
        }
        if (!std::freopen(output.c_str(), "w", stdout) ||
            !std::freopen(output.c_str(), "a", stderr)) {
            ::_exit(126);
        }
        // A Wine desktop of its own draws window frames as Windows does.
        ::execlp("timeout", "timeout", "120", "xvfb-run", "-a", "-s", "-screen 0 1024x768x24",
                 "wine", "explorer", "/desktop=quorlix,1024x768", program.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One logged step: who wrote it (player or standin) and what it says.
struct Step {
    std::string who;
    std::string text;
};

std::vector<Step> ReadSteps(const std::string& path) {
    std::vector<Step> steps;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t first = line.find(' ');
        const std::size_t second = line.find(' ', first + 1);
        if (first != std::string::npos && second != std::string::npos) {
            steps.push_back({line.substr(first + 1, second - first - 1), line.substr(second + 1)});
        }
    }
    return steps;
}

// The index of the first step by `who` starting with `text`; -1 when none.
int Find(const std::vector<Step>& steps, const std::string& who, const std::string& text) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].who == who && steps[i].text.starts_with(text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string AllSteps(const std::vector<Step>& steps) {
    std::string text;
    for (const Step& step : steps) {
        text += step.who + " " + step.text + "\n";
    }
    return text;
}

// Copies each screen snapshot as a PNG into the build folder's snapshot folder.
void KeepSnapshots(const std::string& from, const std::string& prefix,
                   const std::vector<std::string>& names = {"logo1", "document", "logo2"}) {
    fs::create_directories(QUORLIX_WINE_SNAPSHOTS);
    for (const std::string& name : names) {
        const std::string bmp = from + "/" + name + ".bmp";
        if (!fs::exists(bmp)) {
            ADD_FAILURE() << "no snapshot " << name;
            continue;
        }
        const std::string png = test::BmpToPng(test::ReadFile(bmp));
        EXPECT_FALSE(png.empty()) << name;
        test::WriteFile(std::string(QUORLIX_WINE_SNAPSHOTS) + "/" + prefix + "-" + name + ".png",
                        png);
    }
}

class PlayerUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::OnPath("wine") || !test::OnPath("xvfb-run")) {
            GTEST_SKIP() << "wine or xvfb-run is not installed";
        }
        ASSERT_TRUE(fs::exists(std::string(QUORLIX_WINE_PREFIX) + "/.quorlix-ready"))
            << "the Wine prefix was not made (test player_wine_prefix)";
        for (const char* folder : {"out", "snapshots"}) {
            fs::create_directories(folder_ / folder);
        }
        // The prefix is the tests' own: each test starts from an empty temporary folder.
        for (const fs::directory_entry& entry : fs::directory_iterator(WineTemp())) {
            fs::remove_all(entry.path());
        }
    }

    // Converts the document with the settings and runs the output under Wine.
    int ConvertAndPlay(const std::vector<std::string>& settings, bool expectWatermark) {
        return Play(ConvertOutput(settings), expectWatermark);
    }

    // Converts the document with the settings; the output's path.
    std::string ConvertOutput(const std::vector<std::string>& settings) {
        std::vector<std::string> args = {"convert", "--output-folder", folder_ / "out"};
        for (const std::string& setting : settings) {
            args.push_back("--set");
            args.push_back(setting);
        }
        args.push_back(document_);
        const test::CliRun run = test::RunCliWith(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return folder_ / "out/Report.exe";
    }

    int Play(const std::string& exe, bool expectWatermark) {
        std::vector<std::string> environment = {
            "WINEPREFIX=" + std::string(QUORLIX_WINE_PREFIX),
            "WINEARCH=win32",
            "WINEDEBUG=-all",
            "WINEDLLOVERRIDES=mscoree,mshtml=",
            // Wine then knows only its own fonts: the embedded one is new to it.
            "FONTCONFIG_FILE=" + std::string(QUORLIX_WINE_PREFIX) + "/fonts.conf",
            "QUORLIX_PLAYER_LOG=" + WinePath(folder_ / "steps.log"),
            "QUORLIX_PLAYER_SNAPSHOTS=" + WinePath(folder_ / "snapshots"),
            "QUORLIX_STANDIN_COPY=" + WinePath(folder_ / "opened.bin"),
            "QUORLIX_STANDIN_FONT=DejaVu Sans Mono",
            std::string("QUORLIX_STANDIN_EXPECT_WATERMARK=") + (expectWatermark ? "1" : "0"),
        };
        environment.insert(environment.end(), extraEnvironment_.begin(), extraEnvironment_.end());
        return RunUnderWine(exe, environment, folder_ / "wine.txt");
    }

    // Starts a new step log for another run.
    void SetLogAside(const std::string& name) { fs::rename(folder_ / "steps.log", folder_ / name); }

    std::vector<std::string> extraEnvironment_;

    TestFolder folder_;
    std::string document_ = folder_ / "Report.docx";
};

TEST_F(PlayerUnderWine, PresentsLogosFontsWindowAndWatermarkAroundTheDocument) {
    if (!fs::exists(kMonoFont)) {
        GTEST_SKIP() << "no DejaVu Sans Mono to embed";
    }
    const std::string documentBytes = test::RandomBytes(200000, 16);
    test::WriteFile(document_, documentBytes);
    test::WriteFile(folder_ / "first.bmp", test::MakeBmp(240, 160));
    test::WriteFile(folder_ / "second.png", test::MakePng(160, 160, 0x2060C0));
    const int status = ConvertAndPlay(
        {"showfirstimage=1", "firstimage=" + folder_ / "first.bmp", "firsttrans1=1",
         "firsttrans2=1", "firstsec=1", "showsecondimage=1",
         "secondimage=" + folder_ / "second.png", "secondsec=1", "opmax=0", "opwidth=640",
         "opheigh=480", "opnoresi=1", "opfiletitle= - Quarterly", "watertype=1",
         "watertext=CONFIDENTIAL", "waterleft1=30", "watertop1=20", "embedfonts=1",
         std::string("embedfontlist=DejaVu Sans Mono (TrueType)=") + kMonoFont},
        true);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;

    // Logo 1 fades in, shows, fades out and closes before the document program starts; logo 2
    // shows after it ended.
    const int standinStart = Find(steps, "standin", "start ");
    const int standinEnd = Find(steps, "standin", "end");
    ASSERT_GE(standinStart, 0) << all;
    ASSERT_GT(standinEnd, standinStart) << all;
    EXPECT_EQ(Find(steps, "player", "logo 1 shown 240x160"), Find(steps, "player", "logo 1 shown"));
    EXPECT_LT(Find(steps, "player", "logo 1 closed"), standinStart) << all;
    EXPECT_GE(Find(steps, "player", "logo 1 closed"), 0) << all;
    EXPECT_GT(Find(steps, "player", "logo 2 shown 160x160 at 432,304"), standinEnd) << all;
    EXPECT_GT(Find(steps, "player", "logo 2 closed"), standinEnd) << all;
    std::vector<std::string> fades;
    for (const Step& step : steps) {
        if (step.who == "player" && step.text.starts_with("logo 1 alpha ")) {
            fades.push_back(step.text.substr(13));
        }
    }
    std::vector<std::string> expected;
    for (int alpha = 0; alpha <= 255; alpha += 15) {
        expected.push_back(std::to_string(alpha));
    }
    for (int alpha = 240; alpha >= 0; alpha -= 15) {
        expected.push_back(std::to_string(alpha));
    }
    EXPECT_EQ(fades, expected) << "fade in by 15, then out by 15";
    EXPECT_EQ(Find(steps, "player", "logo 2 alpha"), -1) << "a PNG never fades";

    // The font is added before the document opens and removed once it is closed.
    const int added = Find(steps, "player", "AddFontResourceEx DejaVu Sans Mono (TrueType)");
    const int removed = Find(steps, "player", "RemoveFontResourceEx DejaVu Sans Mono (TrueType)");
    EXPECT_GE(added, 0) << all;
    EXPECT_LT(added, standinStart);
    EXPECT_GT(removed, standinEnd) << all;
    EXPECT_GE(Find(steps, "player", "font enumerable DejaVu Sans Mono"), 0) << all;

    // The stand-in's window got the title, size and fixed frame; the watermark is over it.
    EXPECT_GE(Find(steps, "standin", "title Report - Quarterly"), 0) << all;
    EXPECT_GE(Find(steps, "standin", "window "), 0);
    const std::string window = steps[Find(steps, "standin", "window ")].text;
    EXPECT_TRUE(window.ends_with(" 640x480")) << window;
    EXPECT_GE(Find(steps, "standin", "resizable frame 0"), 0) << all;
    EXPECT_GE(Find(steps, "standin", "maximised 0"), 0) << all;
    const int mark = Find(steps, "standin", "watermark ");
    ASSERT_GE(mark, 0) << all;
    EXPECT_TRUE(steps[mark].text.ends_with("visible 1 topmost 1")) << steps[mark].text;

    // The program got the document byte for byte, and nothing is left in the temporary folder.
    EXPECT_TRUE(test::ReadFile(folder_ / "opened.bin") == documentBytes);
    EXPECT_GE(Find(steps, "player", "staged copy deleted"), 0);
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    EXPECT_GE(Find(steps, "player", "end 0"), 0) << all;
    KeepSnapshots(folder_ / "snapshots", "presented");

    // The PNG logo with its own alpha: its disc opaque, its transparent corners show the desktop.
    const std::string screen = test::ReadFile(folder_ / "snapshots/logo2.bmp");
    const std::optional<std::uint32_t> desktop = test::BmpPixel(screen, 5, 5);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(test::BmpPixel(screen, 432 + 80, 304 + 80), 0x2060C0u);
    EXPECT_EQ(test::BmpPixel(screen, 432 + 2, 304 + 2), desktop);
}

TEST_F(PlayerUnderWine, GifLogoShowsThroughItsTransparentColourWithoutFading) {
    test::WriteFile(document_, "a small document");
    test::WriteFile(folder_ / "logo.gif", test::MakeGif(200, 120, 0x20A040));
    const int status = ConvertAndPlay({"showfirstimage=1", "firstimage=" + folder_ / "logo.gif",
                                       "firsttrans1=1", "firsttrans2=1", "firstsec=1"},
                                      false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;
    EXPECT_GE(Find(steps, "player", "logo 1 shown 200x120 at 412,324"), 0) << all;
    std::vector<std::string> alphas;
    for (const Step& step : steps) {
        if (step.text.starts_with("logo 1 alpha ")) {
            alphas.push_back(step.text.substr(13));
        }
    }
    EXPECT_EQ(alphas, std::vector<std::string>{"255"}) << "a GIF never fades";
    EXPECT_LT(Find(steps, "player", "logo 1 closed"), Find(steps, "standin", "start"));

    // On the screen: the disc in its colour, the desktop where the GIF is transparent.
    const std::string screen = test::ReadFile(folder_ / "snapshots/logo1.bmp");
    const std::optional<std::uint32_t> desktop = test::BmpPixel(screen, 5, 5);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(test::BmpPixel(screen, 412 + 100, 324 + 60), 0x20A040u);
    EXPECT_EQ(test::BmpPixel(screen, 412 + 2, 324 + 2), desktop) << "the corner is transparent";
    fs::create_directories(QUORLIX_WINE_SNAPSHOTS);
    test::WriteFile(std::string(QUORLIX_WINE_SNAPSHOTS) + "/gif-logo1.png", test::BmpToPng(screen));
}

TEST_F(PlayerUnderWine, DamagedOptionsPicturesAndFontsAreSkippedAndTheDocumentStillOpens) {
    const std::string documentBytes = test::RandomBytes(3000, 17);
    test::WriteFile(document_, documentBytes);
    const test::CliRun run =
        test::RunCliWith({"convert", "--output-folder", folder_ / "out", document_});
    ASSERT_EQ(run.status, 0) << run.err;
    // The first entry, a font, has one byte of its compressed stream flipped.
    std::string package = test::HandMadePackage({
        {"myfont\\damaged.ttf", test::RandomBytes(5000, 23)},
        {"option\\winsetbrower.dll", "~~~~~.txt\r\n1\r\n1\r\n"},
        {"option\\1.jpg", "not a picture at all"},
        {"option\\trmack1.dll", "option\\1.jpg\r\n1\r\n1\r\n1\r\n0\r\n1\r\n"},
        {"option\\trmack2.dll", "..\\..\\elsewhere.png\r\n0\r\n1\r\n1\r\n0\r\n0\r\n"},
        {"option\\wateroptionimage.dll", std::string(64, '\x7F')},
        {"option\\wateroptions.dll", "2\r\nhttp://example.org\r\n10\r\n10\r\n0\r\n"},
        {"option\\winoptions.dll", "Damaged\r\nwide\r\n\r\nmaybe\r\n\xFF\xFE\r\n"},
        {"option\\trmacke1.dll", "1\r\nBogus Font (TrueType)\r\nDamaged Font (TrueType)\r\n"},
        {"option\\trmacke2.dll", "1\r\nbogus.ttf\r\ndamaged.ttf\r\n"},
        {"myfont\\bogus.ttf", "this is no font"},
    });
    package[4 + 100] = static_cast<char>(package[4 + 100] ^ 0x40);
    const std::string exe = folder_ / "out/Damaged.exe";
    test::WriteFile(exe, test::WithPackage(test::ReadFile(folder_ / "out/Report.exe"), package));
    const int status = Play(exe, false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;

    EXPECT_GE(Find(steps, "player", "logo 1 skipped: the picture does not decode"), 0) << all;
    EXPECT_GE(Find(steps, "player", "logo 2 skipped: no picture in the package"), 0) << all;
    EXPECT_GE(Find(steps, "player", "font refused Bogus Font (TrueType)"), 0) << all;
    EXPECT_GE(Find(steps, "player", "entry skipped: entry \"myfont\\damaged.ttf\""), 0) << all;
    EXPECT_GE(Find(steps, "player", "font skipped: missing or damaged Damaged Font (TrueType)"), 0)
        << all;
    EXPECT_EQ(Find(steps, "player", "RemoveFontResourceEx"), -1) << all;
    EXPECT_GE(Find(steps, "player", "watermark skipped"), 0) << all;
    EXPECT_GE(Find(steps, "standin", "title Damaged"), 0) << all;
    EXPECT_TRUE(test::ReadFile(folder_ / "opened.bin") == documentBytes);
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    EXPECT_GE(Find(steps, "player", "end 0"), 0) << all;
}

// Expects, for each text, a step of `who` that starts with it.
void ExpectSteps(const std::vector<Step>& steps, const std::string& who,
                 const std::vector<std::string>& texts, const std::string& all) {
    for (const std::string& text : texts) {
        EXPECT_GE(Find(steps, who, text), 0) << who << " " << text << "\n" << all;
    }
}

// Expects, for each text, no step of `who` that starts with it.
void ExpectNoSteps(const std::vector<Step>& steps, const std::string& who,
                   const std::vector<std::string>& texts, const std::string& all) {
    for (const std::string& text : texts) {
        EXPECT_EQ(Find(steps, who, text), -1) << who << " " << text << "\n" << all;
    }
}

// Every step of the input script ended because what it waits for arrived.
void ExpectNoStepTimedOut(const std::vector<Step>& steps, const std::string& all) {
    for (const Step& step : steps) {
        EXPECT_FALSE(step.text.ends_with(" timed out")) << step.who << " " << step.text << "\n"
                                                        << all;
    }
}

TEST_F(PlayerUnderWine, LocksKeepCopyPasteAndTheContextMenuFromTheDocumentProgramOnly) {
    test::WriteFile(document_, test::RandomBytes(20000, 18));
    test::WriteFile(folder_ / "changed.bin", "the reader's changes");
    // Both locks are on by default; the reader changes the document and declines to keep it.
    extraEnvironment_ = {"QUORLIX_STANDIN_INPUT=1", "QUORLIX_STANDIN_EXPECT_LOCKS=1",
                         "QUORLIX_STANDIN_CHANGE=" + WinePath(folder_ / "changed.bin"),
                         "QUORLIX_PLAYER_KEEP_CHANGES=no"};
    const int status = ConvertAndPlay({"opmax=0", "opwidth=500", "opheigh=400", "opsave=1"}, false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;
    ExpectNoStepTimedOut(steps, all);
    const int locksOn = Find(steps, "player", "locks on: copy/paste right click");
    ASSERT_GE(locksOn, 0) << all;
    EXPECT_LT(locksOn, Find(steps, "player", "window found")) << "locked as soon as it started";
    EXPECT_GT(Find(steps, "player", "locks off"), Find(steps, "standin", "end")) << all;

    // Nothing of the reader's copy, paste, right click or menu keys reached the document
    // program; the markers sent after each did.
    ExpectNoSteps(steps, "standin",
                  {"pasted", "copied", "right button", "context menu", "menu key"}, all);
    ExpectSteps(steps, "standin", {"clipboard after copy: second text", "marker 3", "left click"},
                all);
    ExpectSteps(steps, "player",
                {"held back key 56 down", "held back key 43 down", "held back right button down",
                 "held back right button up", "held back key 5D down", "held back key 79 down"},
                all);
    // What the document program copied by itself (as from its menu) was taken off again.
    ExpectSteps(steps, "player", {"clipboard emptied: the document program's"}, all);
    const int menuCopy = Find(steps, "standin", "clipboard after menu copy:");
    ASSERT_GE(menuCopy, 0) << all;
    EXPECT_EQ(steps[menuCopy].text, "clipboard after menu copy: ") << all;

    // The second program copied, pasted, right-clicked and used the menu key as before.
    ExpectSteps(steps, "second",
                {"copied", "pasted second text", "right button down", "right button up",
                 "context menu", "menu key 93"},
                all);
    ExpectSteps(steps, "player", {"clipboard kept: another program's"}, all);

    // Asked once the document was closed, answered No: nothing written.
    EXPECT_GT(Find(steps, "player", "asking to keep the changes"),
              Find(steps, "player", "locks off"))
        << all;
    ExpectSteps(steps, "player", {"dialog answered 7", "changes discarded"}, all);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "out"), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
}

TEST_F(PlayerUnderWine, WithoutLocksEverythingArrivesAndChangesAreDiscardedUnasked) {
    test::WriteFile(document_, test::RandomBytes(20000, 19));
    test::WriteFile(folder_ / "changed.bin", "the reader's changes");
    extraEnvironment_ = {"QUORLIX_STANDIN_INPUT=1", "QUORLIX_STANDIN_EXPECT_LOCKS=0",
                         "QUORLIX_STANDIN_CHANGE=" + WinePath(folder_ / "changed.bin")};
    const int status = ConvertAndPlay(
        {"opmax=0", "opwidth=500", "opheigh=400", "opright=0", "opcopy=0", "opsave=0"}, false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;
    ExpectNoStepTimedOut(steps, all);
    ExpectNoSteps(steps, "player", {"locks on", "held back", "clipboard"}, all);
    ExpectSteps(steps, "standin",
                {"pasted second text", "copied", "clipboard after copy: standin text",
                 "right button down", "right button up", "context menu", "menu key 93",
                 "menu key 121", "clipboard after menu copy: stand-in menu text"},
                all);
    ExpectSteps(steps, "second", {"pasted second text"}, all);

    // Changed, but the author did not allow keeping changes: nothing asked, nothing written.
    ExpectSteps(steps, "standin", {"document changed, 20 bytes"}, all);
    ExpectNoSteps(steps, "player", {"document changed", "asking"}, all);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "out"), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    EXPECT_GE(Find(steps, "player", "end 0"), 0) << all;
}

// A signed output of the document, made with a certificate made for the test.
std::string ConvertSigned(const TestFolder& folder, const std::string& document,
                          const std::vector<std::string>& settings = {}) {
    const test::TestCertificate certificate =
        test::MakeTestCertificate(folder.path(), "author", "Quorlix Author", "wine");
    test::WriteFile(folder / "password.txt", "wine\n");
    std::vector<std::string> args = {
        "convert",          "--output-folder",      folder / "out",         "--sign-pkcs12",
        certificate.pkcs12, "--sign-password-file", folder / "password.txt"};
    for (const std::string& setting : settings) {
        args.insert(args.end(), {"--set", setting});
    }
    args.push_back(document);
    const test::CliRun run = test::RunCliWith(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return folder / "out/Report.exe";
}

TEST_F(PlayerUnderWine, ASignedOutputChecksItselfAndOpensItsDocument) {
    if (!test::OnPath("openssl")) {
        GTEST_SKIP() << "openssl is not installed";
    }
    const std::string documentBytes = test::RandomBytes(90000, 18);
    test::WriteFile(document_, documentBytes);
    const int status = Play(ConvertSigned(folder_, document_), false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;
    const int matches = Find(steps, "player", "signature digest matches");
    EXPECT_GE(matches, 0) << all;
    EXPECT_LT(matches, Find(steps, "standin", "start ")) << all;
    EXPECT_TRUE(test::ReadFile(folder_ / "opened.bin") == documentBytes);
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    EXPECT_GE(Find(steps, "player", "end 0"), 0) << all;
}

TEST_F(PlayerUnderWine, ChangesToASignedOutputAreKeptAsANewExecutableWhereTheSaveDialogSays) {
    if (!test::OnPath("openssl")) {
        GTEST_SKIP() << "openssl is not installed";
    }
    const std::string original = "PK\x03\x04" + test::RandomBytes(150000, 20);
    const std::string changed = "PK\x03\x04" + test::RandomBytes(180000, 21);
    test::WriteFile(document_, original);
    test::WriteFile(folder_ / "changed.bin", changed);
    fs::create_directories(folder_ / "kept");
    const std::string kept = folder_ / "kept/Kept.exe";
    extraEnvironment_ = {"QUORLIX_STANDIN_CHANGE=" + WinePath(folder_ / "changed.bin"),
                         "QUORLIX_PLAYER_KEEP_CHANGES=" + WinePath(kept)};
    const std::vector<std::string> settings = {"opsave=1", "opfiletitle= - Draft"};
    const int status = Play(ConvertSigned(folder_, document_, settings), false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;

    ExpectSteps(steps, "player", {"signature digest matches"}, all);
    // Asked after the document was closed; the Save dialog opened in the output's folder with
    // the suggested name.
    const int asked = Find(steps, "player", "asking to keep the changes");
    EXPECT_GT(asked, Find(steps, "standin", "end")) << all;
    EXPECT_GE(Find(steps, "player",
                   "dialog \"Dorvane Quorlix\" says: The document \"Report.docx\" was changed."),
              0)
        << all;
    const std::string outFolder = WinePath(folder_ / "out");
    EXPECT_GE(Find(steps, "player",
                   "dialog \"Keep the changed document as\" in " + outFolder +
                       " with name Report (changed).exe"),
              0)
        << all;
    EXPECT_GE(Find(steps, "player", "changes kept in " + WinePath(kept)), 0) << all;
    KeepSnapshots(folder_ / "snapshots", "keep-changes", {"question", "save-dialog"});

    // Written whole where the dialog said: the output of the changed document, byte for byte,
    // but for the signature, which stays behind (with the header checksum that covered it).
    ASSERT_TRUE(fs::exists(kept)) << all;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "kept"), fs::directory_iterator()), 1)
        << "no temporary file left";
    const test::CliRun inspect = test::RunCliWith({"inspect", kept});
    EXPECT_EQ(inspect.status, 0) << inspect.err;
    const test::CliRun verify = test::RunCliWith({"verify", kept});
    EXPECT_EQ(verify.out, kept + ": whole\nsignature: none (not signed)\n") << verify.err;
    fs::create_directories(folder_ / "fresh");
    test::WriteFile(folder_ / "fresh/Report.docx", changed);
    std::vector<std::string> args = {"convert", "--output-folder", folder_ / "fresh"};
    for (const std::string& setting : settings) {
        args.insert(args.end(), {"--set", setting});
    }
    args.push_back(folder_ / "fresh/Report.docx");
    ASSERT_EQ(test::RunCliWith(args).status, 0);
    std::string fresh = test::ReadFile(folder_ / "fresh/Report.exe");
    const std::size_t checksum = test::LE32At(fresh, 0x3C) + 24 + 64;
    fresh.replace(checksum, 4, std::string(4, '\0'));
    EXPECT_TRUE(test::ReadFile(kept) == fresh);

    // Run again, it hands the document program the changed bytes.
    SetLogAside("first-steps.log");
    extraEnvironment_ = {};
    ASSERT_EQ(Play(kept, false), 0) << test::ReadFile(folder_ / "wine.txt");
    const std::vector<Step> again = ReadSteps(folder_ / "steps.log");
    ExpectSteps(again, "player", {"signature none"}, AllSteps(again));
    EXPECT_GE(Find(again, "standin", "title Report - Draft"), 0) << AllSteps(again);
    EXPECT_TRUE(test::ReadFile(folder_ / "opened.bin") == changed);
    ExpectSteps(again, "player", {"document unchanged"}, AllSteps(again));
    ExpectNoSteps(again, "player", {"asking"}, AllSteps(again));
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
}

TEST_F(PlayerUnderWine, AChangedSignedOutputSaysSoAndStartsNoDocumentProgram) {
    if (!test::OnPath("openssl")) {
        GTEST_SKIP() << "openssl is not installed";
    }
    test::WriteFile(document_, test::RandomBytes(90000, 19));
    const std::string exe = ConvertSigned(folder_, document_);
    std::string bytes = test::ReadFile(exe);
    const std::size_t marker = bytes.rfind(std::string(256, '\x0E'));
    const test::ReadOutput parts = test::ReadBack(bytes.substr(0, marker + 256));
    bytes[parts.documentStart + 5000] = static_cast<char>(bytes[parts.documentStart + 5000] ^ 1);
    test::WriteFile(exe, bytes);

    Play(exe, false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    EXPECT_GE(Find(steps, "player", "signature digest differs"), 0) << all;
    EXPECT_GE(Find(steps, "player",
                   "message This program was changed after it was signed, so it may have been "
                   "tampered with and will not open its document."),
              0)
        << all;
    EXPECT_GE(Find(steps, "player", "snapshot message"), 0) << all;
    EXPECT_GE(Find(steps, "player", "end 6"), 0) << all;
    EXPECT_EQ(Find(steps, "standin", ""), -1) << all;
    EXPECT_FALSE(fs::exists(folder_ / "opened.bin"));
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    const std::string shot = folder_ / "snapshots/message.bmp";
    ASSERT_TRUE(fs::exists(shot));
    fs::create_directories(QUORLIX_WINE_SNAPSHOTS);
    test::WriteFile(std::string(QUORLIX_WINE_SNAPSHOTS) + "/changed-message.png",
                    test::BmpToPng(test::ReadFile(shot)));
}

// The tick (ms) of a step, from its log line; the player and the stand-in share the clock.
long long TickOf(const std::string& logPath, const std::string& who, const std::string& text) {
    std::ifstream in(logPath);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find(' ');
        if (first != std::string::npos &&
            line.compare(first + 1, who.size() + 1 + text.size(), who + " " + text) == 0) {
            return std::stoll(line.substr(0, first));
        }
    }
    return -1;
}

int CountSteps(const std::vector<Step>& steps, const std::string& who, const std::string& text) {
    return static_cast<int>(std::count_if(steps.begin(), steps.end(), [&](const Step& step) {
        return step.who == who && step.text.starts_with(text);
    }));
}

TEST_F(PlayerUnderWine, AStartRemovesTheFoldersOfKilledRunsAndLoadsNoPlantedLibrary) {
    const std::string documentBytes = test::RandomBytes(40000, 24);
    test::WriteFile(document_, documentBytes);
    extraEnvironment_ = {"QUORLIX_STANDIN_KILL_PLAYER=1"};
    ConvertAndPlay({"opmax=0"}, false);
    const std::vector<Step> killed = ReadSteps(folder_ / "steps.log");
    ASSERT_GE(Find(killed, "standin", "player killed"), 0) << AllSteps(killed);
    EXPECT_EQ(Find(killed, "player", "document closed"), -1) << AllSteps(killed);

    // The killed run left its two folders, the document in one of them.
    std::vector<std::string> left;
    for (const std::string& name : NamesIn(WineTemp())) {
        if (fs::is_directory(WineTemp() / name)) {
            left.push_back(name);
        }
    }
    std::cout << "left by the killed run: " << testing::PrintToString(NamesIn(WineTemp())) << "\n";
    ASSERT_EQ(left.size(), 2u) << testing::PrintToString(NamesIn(WineTemp()));
    EXPECT_TRUE(fs::exists(WineTemp() / left[0] / "Report.docx") ||
                fs::exists(WineTemp() / left[1] / "Report.docx"));
    // Beside them: a folder of an earlier run whose mark nobody holds, and folders that are not
    // the player's.
    fs::create_directories(WineTemp() / "quorlix-1f-2e-0/option");
    test::WriteFile(WineTemp() / "quorlix-1f-2e-0/option/winoptions.dll", "x");
    test::WriteFile(WineTemp() / "quorlix-1f-2e-0.owner", "");
    fs::create_directories(WineTemp() / "quorlix-keep");
    fs::create_directories(WineTemp() / "quorlix-1g-2e-0");
    // A link named like a run folder is not followed.
    fs::create_directories(folder_ / "elsewhere");
    test::WriteFile(folder_ / "elsewhere/precious.txt", "kept");
    fs::create_directory_symlink(folder_ / "elsewhere", WineTemp() / "quorlix-aa-bb-0");
    // A library named like none of the system's, planted beside the output.
    fs::copy_file(QUORLIX_PLANTED_LIBRARY, folder_ / "out/quorlix-planted.dll");

    SetLogAside("killed-steps.log");
    extraEnvironment_ = {"QUORLIX_PLAYER_PROBE_LIBRARY=quorlix-planted.dll"};
    ASSERT_EQ(Play(folder_ / "out/Report.exe", false), 0) << test::ReadFile(folder_ / "wine.txt");
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ExpectSteps(steps, "player",
                {"run folder removed: " + left[0], "run folder removed: " + left[1],
                 "run folder removed: quorlix-1f-2e-0", "library quorlix-planted.dll not loaded"},
                all);
    EXPECT_EQ(CountSteps(steps, "player", "run folder removed"), 3) << all;
    // Removed before the run made folders of its own.
    EXPECT_LT(Find(steps, "player", "run folder removed"), Find(steps, "player", "staged copy"));
    EXPECT_FALSE(fs::exists(folder_ / "out/quorlix-planted.dll.loaded"));
    EXPECT_TRUE(test::ReadFile(folder_ / "opened.bin") == documentBytes);
    EXPECT_EQ(NamesIn(WineTemp()),
              (std::vector<std::string>{"quorlix-1g-2e-0", "quorlix-aa-bb-0", "quorlix-keep"}));
    EXPECT_EQ(test::ReadFile(folder_ / "elsewhere/precious.txt"), "kept");
}

TEST_F(PlayerUnderWine, ALongTitleIsSetOnceAndTheSecondLogoFollowsAShortReadAtOnce) {
    test::WriteFile(document_, test::RandomBytes(5000, 25));
    test::WriteFile(folder_ / "second.bmp", test::MakeBmp(120, 90));
    std::string title;
    for (int i = 0; title.size() < 600; ++i) {
        title += "Chapter " + std::to_string(i) + " ";
    }
    title.resize(600);
    // Open for about two seconds: the title keeper looks four times meanwhile.
    extraEnvironment_ = {"QUORLIX_STANDIN_STAY_MS=2000"};
    const int status =
        ConvertAndPlay({"opmax=0", "opfilename=0", "opfiletitle=" + title, "showsecondimage=1",
                        "secondimage=" + folder_ / "second.bmp", "secondsec=1"},
                       false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt") << all;
    EXPECT_GE(Find(steps, "standin", "title " + title), 0) << all;
    EXPECT_EQ(CountSteps(steps, "player", "window title "), 1) << all;

    // The document program showed its window and exited: no wait for a hand-over.
    ExpectSteps(steps, "player", {"document program ended"}, all);
    const long long closed = TickOf(folder_ / "steps.log", "standin", "end");
    const long long logo = TickOf(folder_ / "steps.log", "player", "logo 2 shown");
    ASSERT_GE(closed, 0) << all;
    ASSERT_GE(logo, closed) << all;
    std::cout << "second logo " << logo - closed << " ms after the document program ended\n";
    EXPECT_LT(logo - closed, 1000) << all;
}

// Runs the output with the stand-in handing the document over (`how`: "1" without a window,
// "window" after showing one); expects the player to wait for the copy it was handed to, and
// the second logo within a second of its closing the document.
void ExpectHandOverWaitedFor(const std::string& logPath, const std::string& how,
                             const std::string& said) {
    const std::vector<Step> steps = ReadSteps(logPath);
    const std::string all = AllSteps(steps);
    ExpectSteps(steps, "player", {said}, all);
    const int handedEnd = Find(steps, "standin", "close");
    ASSERT_GE(Find(steps, "standin", "start handed over"), 0) << all;
    ASSERT_GE(handedEnd, 0) << all;
    EXPECT_GT(Find(steps, "player", "document closed"), handedEnd) << all;
    const long long closed = TickOf(logPath, "standin", "close");
    const long long logo = TickOf(logPath, "player", "logo 2 shown");
    ASSERT_GE(logo, closed) << all;
    std::cout << "hand-over " << how << ": second logo " << logo - closed
              << " ms after the document was closed\n";
    EXPECT_LT(logo - closed, 1000) << all;
}

TEST_F(PlayerUnderWine, ADocumentHandedToAnotherProgramIsWaitedForUntilThatOneClosesIt) {
    const std::string documentBytes = test::RandomBytes(5000, 28);
    test::WriteFile(document_, documentBytes);
    test::WriteFile(folder_ / "second.bmp", test::MakeBmp(120, 90));
    extraEnvironment_ = {"QUORLIX_STANDIN_HAND_OVER=1"};
    const int status = ConvertAndPlay(
        {"showsecondimage=1", "secondimage=" + folder_ / "second.bmp", "secondsec=1"}, false);
    ASSERT_EQ(status, 0) << test::ReadFile(folder_ / "wine.txt");
    ExpectHandOverWaitedFor(folder_ / "steps.log", "without a window",
                            "document program ended without a window: looking for another");
    EXPECT_TRUE(test::ReadFile(folder_ / "opened.bin") == documentBytes);
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));

    // The launcher shows a window; the other copy shows the document's name before it opens it.
    SetLogAside("first-steps.log");
    fs::remove(folder_ / "opened.bin");
    extraEnvironment_ = {"QUORLIX_STANDIN_HAND_OVER=window"};
    ASSERT_EQ(Play(folder_ / "out/Report.exe", false), 0) << test::ReadFile(folder_ / "wine.txt");
    ExpectHandOverWaitedFor(folder_ / "steps.log", "after a window",
                            "document program ended, another shows the document");
    EXPECT_TRUE(test::ReadFile(folder_ / "opened.bin") == documentBytes);
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
}

// The output with its document's name given another extension, which nothing opens.
std::string WithDocumentExtension(const std::string& output, const std::string& from,
                                  const std::string& to) {
    const test::ReadOutput parts = test::ReadBack(output);
    std::string document = parts.document;
    EXPECT_EQ(from.size(), to.size());
    std::string wideFrom, wideTo;
    for (std::size_t i = 0; i < from.size(); ++i) {
        wideFrom += std::string{from[i], '\0'};
        wideTo += std::string{to[i], '\0'};
    }
    int replaced = 0;
    for (const auto& [a, b] : {std::pair{from, to}, std::pair{wideFrom, wideTo}}) {
        for (std::size_t at = document.find(a); at != std::string::npos;
             at = document.find(a, at + 1)) {
            document.replace(at, a.size(), b);
            ++replaced;
        }
    }
    EXPECT_GT(replaced, 0);
    std::string changed = output;
    changed.replace(parts.documentStart, document.size(), test::Unscrambled(document));
    return changed;
}

TEST_F(PlayerUnderWine, WithoutAProgramForTheDocumentTheReaderIsToldBeforeAnyLogo) {
    test::WriteFile(document_, test::RandomBytes(5000, 26));
    test::WriteFile(folder_ / "first.bmp", test::MakeBmp(120, 90));
    const std::string output =
        ConvertOutput({"showfirstimage=1", "firstimage=" + folder_ / "first.bmp"});
    const std::string exe = folder_ / "out/Unknown.exe";
    test::WriteFile(exe,
                    WithDocumentExtension(test::ReadFile(output), "Report.docx", "Report.docq"));
    Play(exe, false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ExpectSteps(steps, "player",
                {"program for .docq: none",
                 "message No program on this computer opens .docq documents; please install "
                 "Microsoft Word and run this file again.",
                 "end 4"},
                all);
    ExpectNoSteps(steps, "player", {"logo 1", "document opening"}, all);
    EXPECT_EQ(Find(steps, "standin", ""), -1) << all;
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    KeepSnapshots(folder_ / "snapshots", "no-program", {"message"});
}

TEST_F(PlayerUnderWine, AnOlderWordThanTheDocumentAsksForIsToldBeforeAnyLogo) {
    test::WriteFile(document_, test::RandomBytes(5000, 29));
    test::WriteFile(folder_ / "first.bmp", test::MakeBmp(120, 90));
    // The prefix has Word 2003; the document asks for Word 2007.
    Play(ConvertOutput({"opcomm=3", "showfirstimage=1", "firstimage=" + folder_ / "first.bmp"}),
         false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ExpectSteps(steps, "player",
                {"word version 11, required 12",
                 "message This document needs Word 2007 or later, but this computer has Word "
                 "2003; please install a newer Microsoft Word and run this file again.",
                 "end 5"},
                all);
    ExpectNoSteps(steps, "player", {"logo 1", "document opening"}, all);
    EXPECT_EQ(Find(steps, "standin", ""), -1) << all;
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    KeepSnapshots(folder_ / "snapshots", "word-too-old", {"message"});
}

TEST_F(PlayerUnderWine, ATruncatedOutputIsToldInOneSentenceWithTheDetailLogged) {
    test::WriteFile(document_, test::RandomBytes(20000, 27));
    const std::string whole = test::ReadFile(ConvertOutput({}));
    const std::string exe = folder_ / "out/Cut.exe";
    test::WriteFile(exe, whole.substr(0, whole.size() - 200));
    Play(exe, false);
    const std::vector<Step> steps = ReadSteps(folder_ / "steps.log");
    const std::string all = AllSteps(steps);
    ExpectSteps(steps, "player",
                {"fault: no end marker of 256 bytes 0x0E",
                 "message This file is damaged or incomplete; please download it again.", "end 1"},
                all);
    const int message = Find(steps, "player", "message ");
    ASSERT_GE(message, 0) << all;
    EXPECT_EQ(steps[message].text.find("0x0E"), std::string::npos) << "no detail for the reader";
    EXPECT_EQ(Find(steps, "standin", ""), -1) << all;
    EXPECT_TRUE(fs::is_empty(WineTemp())) << testing::PrintToString(NamesIn(WineTemp()));
    KeepSnapshots(folder_ / "snapshots", "damaged", {"message"});
}

}  // namespace
}  // namespace quorlix
