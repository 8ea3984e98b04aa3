// quorlix-cli convert with --sign-*, verify and inspect of signed outputs: the password from a
// file, a variable or the terminal, nothing written when the PKCS#12 file cannot be used, the
// same bytes from the same input, changes refused by verify, an independent check with
// osslsigncode, and a timestamp from an authority on 127.0.0.1.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/cli_output.h"
#include "support/code_signing.h"
#include "support/scoped_environment.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::RunCliWith;
using test::TestFolder;

constexpr char kPassword[] = "s3cret pass";

class CliSign : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::OnPath("openssl")) {
            GTEST_SKIP() << "openssl is not installed";
        }
        certificate_ =
            test::MakeTestCertificate(dir_.path(), "author", "Quorlix Author", kPassword);
        test::WriteFile(dir_ / "password.txt", std::string(kPassword) + "\n");
        test::WriteFile(document_, test::RandomBytes(40000, 7));
        fs::create_directories(dir_ / "out");
    }

    CliRun Convert(const std::string& folder, const std::vector<std::string>& more) {
        std::vector<std::string> args = {"convert", "--output-folder", folder};
        args.insert(args.end(), more.begin(), more.end());
        args.push_back(document_);
        return RunCliWith(args);
    }

    CliRun ConvertSigned(const std::string& folder, const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = {"--sign-pkcs12", certificate_.pkcs12,
                                         "--sign-password-file", dir_ / "password.txt"};
        args.insert(args.end(), more.begin(), more.end());
        return Convert(folder, args);
    }

    std::string VerifiedText(const std::string& exe, const std::string& timestamp) const {
        return exe + ": whole\nsignature: valid (its SHA256 digest matches the file)\nsigner: " +
               certificate_.subject + "\ntimestamp: " + timestamp + "\n";
    }

    TestFolder dir_;
    test::TestCertificate certificate_;
    std::string document_ = dir_ / "Report.doc";
    std::string exe_ = dir_ / "out/Report.exe";
};

TEST_F(CliSign, SignedOutputVerifiesAndInspectNamesItsSigner) {
    CliRun run = ConvertSigned(dir_ / "out");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "converted: " + exe_ + "\nConvert finished!\n");

    run = RunCliWith({"verify", exe_});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, VerifiedText(exe_, "none"));
    EXPECT_EQ(run.err, "");

    run = RunCliWith({"inspect", exe_});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(" bytes (a code signature)\nsigner: " + certificate_.subject + "\n"),
              std::string::npos)
        << run.out;
    run = RunCliWith({"inspect", "--json", exe_});
    EXPECT_NE(run.out.find("\"codeSignature\": true},\n  \"signer\": \"" + certificate_.subject +
                           "\",\n"),
              std::string::npos)
        << run.out;

    // The document comes back out of a signed output.
    run = RunCliWith({"extract", exe_, dir_ / "extracted"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(test::ReadFile(dir_ / "extracted/Report.doc") == test::ReadFile(document_));

    // The same document, options and certificate give the same bytes.
    fs::create_directories(dir_ / "again");
    ASSERT_EQ(ConvertSigned(dir_ / "again").status, 0);
    EXPECT_TRUE(test::ReadFile(dir_ / "again/Report.exe") == test::ReadFile(exe_));

    // An unsigned output is whole and says it is not signed.
    fs::create_directories(dir_ / "plain");
    ASSERT_EQ(Convert(dir_ / "plain", {}).status, 0);
    run = RunCliWith({"verify", dir_ / "plain/Report.exe"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir_ / "plain/Report.exe" + ": whole\nsignature: none (not signed)\n");
    run = RunCliWith({"inspect", "--json", dir_ / "plain/Report.exe"});
    EXPECT_NE(run.out.find("\"codeSignature\": false},\n  \"signer\": null,\n"), std::string::npos);
}

TEST_F(CliSign, VerifyRefusesAByteChangedInTheStubTheDocumentOrThePackage) {
    ASSERT_EQ(ConvertSigned(dir_ / "out").status, 0);
    const std::string good = test::ReadFile(exe_);
    const test::ReadOutput parts =
        test::ReadBack(good.substr(0, good.rfind(std::string(256, '\x0E')) + 256));
    const std::string changed = "quorlix-cli verify: " + dir_ / "changed.exe" +
                                ": the file was changed after it was signed: its digest does "
                                "not match the signature\n";
    for (const std::size_t offset :
         {std::size_t{0x300}, parts.documentStart + 100, parts.package.start + 1}) {
        std::string bytes = good;
        bytes[offset] = static_cast<char>(bytes[offset] ^ 0x04);
        test::WriteFile(dir_ / "changed.exe", bytes);
        const CliRun run = RunCliWith({"verify", dir_ / "changed.exe"});
        EXPECT_EQ(run.status, 1) << offset;
        EXPECT_EQ(run.out, "") << offset;
        EXPECT_EQ(run.err, changed) << offset;
    }
    test::WriteFile(dir_ / "changed.exe", good + "tail");
    CliRun run = RunCliWith({"verify", dir_ / "changed.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quorlix-cli verify: " + dir_ / "changed.exe" +
                           ": the file was changed after it was signed: 4 bytes follow the "
                           "signature\n");
    // An unsigned output with a damaged package is named damaged.
    fs::create_directories(dir_ / "plain");
    ASSERT_EQ(Convert(dir_ / "plain", {}).status, 0);
    std::string plain = test::ReadFile(dir_ / "plain/Report.exe");
    const test::ReadOutput plainParts = test::ReadBack(plain);
    plain[plainParts.package.start + 6] =
        static_cast<char>(plain[plainParts.package.start + 6] ^ 0x55);
    test::WriteFile(dir_ / "changed.exe", plain);
    run = RunCliWith({"verify", dir_ / "changed.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("quorlix-cli verify: " + dir_ / "changed.exe" + ": damaged: "))
        << run.err;

    test::WriteFile(dir_ / "changed.exe", "MZ not an output");
    run = RunCliWith({"verify", dir_ / "changed.exe"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quorlix-cli verify: " + dir_ / "changed.exe" +
                           ": not an output of this program (it has no end marker)\n");
}

TEST_F(CliSign, AnUnusablePkcs12FileWritesNothing) {
    test::WriteFile(dir_ / "wrong.txt", "not the password\n");
    const std::string old = "an older output of the same name";
    test::WriteFile(exe_, old);
    CliRun run = Convert(dir_ / "out", {"--sign-pkcs12", certificate_.pkcs12,
                                        "--sign-password-file", dir_ / "wrong.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quorlix-cli convert: wrong password for " + certificate_.pkcs12 + "\n");
    run = Convert(dir_ / "out", {"--sign-pkcs12", dir_ / "none.p12", "--sign-password-file",
                                 dir_ / "password.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quorlix-cli convert: cannot read " + dir_ / "none.p12" +
                           ": No such file or directory\n");
    run = Convert(dir_ / "out", {"--sign-pkcs12", certificate_.pkcs12, "--sign-password-file",
                                 dir_ / "none.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quorlix-cli convert: cannot read the password file " + dir_ / "none.txt" +
                           ": No such file or directory\n");
    EXPECT_EQ(test::ReadFile(exe_), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator()), 1);
}

TEST_F(CliSign, PasswordFromAVariableAndMistakesOfTheOptions) {
    {
        const test::ScopedEnvironment variable("QUORLIX_TEST_P12_PASSWORD", kPassword);
        const CliRun run =
            Convert(dir_ / "out", {"--sign-pkcs12", certificate_.pkcs12, "--sign-password-env",
                                   "QUORLIX_TEST_P12_PASSWORD"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(RunCliWith({"verify", exe_}).out, VerifiedText(exe_, "none"));
    }
    const test::ScopedEnvironment unset("QUORLIX_TEST_P12_PASSWORD", std::nullopt);
    CliRun run = Convert(dir_ / "out", {"--sign-pkcs12", certificate_.pkcs12, "--sign-password-env",
                                        "QUORLIX_TEST_P12_PASSWORD"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "quorlix-cli convert: the environment variable QUORLIX_TEST_P12_PASSWORD "
              "for the password of " +
                  certificate_.pkcs12 + " is not set\n");

    const std::string hint = "\nRun 'quorlix-cli convert --help' for usage.\n";
    run = Convert(dir_ / "out", {"--sign-password-file", dir_ / "password.txt"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "quorlix-cli convert: --sign-password-file needs --sign-pkcs12" + hint);
    run = Convert(dir_ / "out", {"--sign-timestamp", "http://127.0.0.1:9/"});
    EXPECT_EQ(run.err, "quorlix-cli convert: --sign-timestamp needs --sign-pkcs12" + hint);
    run = Convert(dir_ / "out", {"--sign-pkcs12", certificate_.pkcs12, "--sign-password-file",
                                 dir_ / "password.txt", "--sign-password-env", "X"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "quorlix-cli convert: give the password by --sign-password-file or "
              "--sign-password-env, not both" +
                  hint);
    run = ConvertSigned(dir_ / "out", {"--sign-timestamp", "https://tsa.example/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "quorlix-cli convert: the timestamp address https://tsa.example/ is not an "
              "http:// address\n");
}

TEST_F(CliSign, OsslsigncodeAcceptsWhatIsSigned) {
    if (!test::OnPath("osslsigncode")) {
        GTEST_SKIP() << "osslsigncode is not installed";
    }
    ASSERT_EQ(ConvertSigned(dir_ / "out").status, 0);
    const std::string command = "osslsigncode verify -CAfile '" + certificate_.certificate +
                                "' -in '" + exe_ + "' > '" + dir_ / "osslsigncode.txt" + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string report = test::ReadFile(dir_ / "osslsigncode.txt");
    EXPECT_EQ(WEXITSTATUS(status), 0) << report;
    EXPECT_NE(report.find("Signature verification: ok"), std::string::npos) << report;
    EXPECT_EQ(report.find("MISMATCH"), std::string::npos) << report;
}

TEST_F(CliSign, ATimestampFromALocalAuthorityIsAddedAndShown) {
    TestFolder authorityFolder;
    const test::TimestampResponder authority(authorityFolder.path());
    const test::ScopedEnvironment noProxy("no_proxy", "127.0.0.1");
    CliRun run = ConvertSigned(dir_ / "out", {"--sign-timestamp", authority.url()});
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_EQ(authority.requests(), 1);
    run = RunCliWith({"verify", exe_});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string by = std::string(" UTC by ") + test::TimestampResponder::kSubject + "\n";
    EXPECT_TRUE(run.out.starts_with(exe_ + ": whole\nsignature: valid")) << run.out;
    EXPECT_TRUE(run.out.ends_with(by)) << run.out;
    EXPECT_NE(run.out.find("\ntimestamp: 20"), std::string::npos) << run.out;

    if (test::OnPath("osslsigncode")) {
        const std::string command = "osslsigncode verify -CAfile '" + certificate_.certificate +
                                    "' -TSA-CAfile '" + authority.certificate() + "' -in '" + exe_ +
                                    "' > '" + dir_ / "ts.txt" + "' 2>&1";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 0) << test::ReadFile(dir_ / "ts.txt");
    }
}

// Runs the built quorlix-cli with a pseudo-terminal as its standard input and error, types the
// password once it is asked for, and returns what the terminal showed.
std::string ConvertOnATerminal(const std::vector<std::string>& args, const std::string& typed,
                               int& status) {
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    std::string shown;
    bool typedIt = false;
    char buffer[256];
    for (pollfd wait{terminal, POLLIN, 0}; ::poll(&wait, 1, 20000) > 0;) {
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        shown.append(buffer, static_cast<std::size_t>(got));
        if (!typedIt && shown.find("Password for ") != std::string::npos && shown.ends_with(": ")) {
            typedIt =
                ::write(terminal, typed.data(), typed.size()) == static_cast<ssize_t>(typed.size());
        }
    }
    ::close(terminal);
    ::waitpid(pid, &status, 0);
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return shown;
}

TEST_F(CliSign, WithoutAPasswordOptionTheTerminalIsAskedWithoutEcho) {
    int status = -1;
    const std::string shown =
        ConvertOnATerminal({QUORLIX_CLI_PATH, "convert", "--output-folder", dir_ / "out",
                            "--sign-pkcs12", certificate_.pkcs12, document_},
                           std::string(kPassword) + "\n", status);
    EXPECT_EQ(status, 0) << shown;
    EXPECT_NE(shown.find("Password for " + certificate_.pkcs12 + ": "), std::string::npos) << shown;
    EXPECT_EQ(shown.find(kPassword), std::string::npos) << "the password was echoed: " << shown;
    EXPECT_EQ(RunCliWith({"verify", exe_}).status, 0);

    // Standard input that is no terminal: nothing is asked, nothing written.
    fs::remove(exe_);
    const std::string command = std::string(QUORLIX_CLI_PATH) + " convert --output-folder '" +
                                dir_ / "out" + "' --sign-pkcs12 '" + certificate_.pkcs12 + "' '" +
                                document_ + "' < /dev/null 2> '" + dir_ / "err.txt" + "'";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
    EXPECT_EQ(test::ReadFile(dir_ / "err.txt"),
              "quorlix-cli convert: no password for " + certificate_.pkcs12 +
                  ": give --sign-password-file or --sign-password-env, or run on a terminal\n");
    EXPECT_FALSE(fs::exists(exe_));
}

}  // namespace
}  // namespace quorlix
