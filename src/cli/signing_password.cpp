#include "cli/signing_password.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <system_error>

#include "platform/error.h"
#include "platform/file.h"

namespace quorlix {

namespace {

// The terminal's settings while echo is off, for the signal handler that restores them.
termios g_savedTerminal;
constexpr int kRestoringSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

extern "C" void RestoreTerminalAndResignal(int signal) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Echo off on standard input while it lives; the settings and signal handlers come back after.
class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0) {
            throw std::system_error(errno, std::generic_category(), "reading the terminal");
        }
        for (std::size_t i = 0; i < std::size(kRestoringSignals); ++i) {
            previous_[i] = std::signal(kRestoringSignals[i], RestoreTerminalAndResignal);
        }
        termios quiet = g_savedTerminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
        for (std::size_t i = 0; i < std::size(kRestoringSignals); ++i) {
            std::signal(kRestoringSignals[i], previous_[i]);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    void (*previous_[std::size(kRestoringSignals)])(int) = {};
};

// One line of standard input without its line end; false at the end before any line end.
bool ReadInputLine(std::string& line) {
    for (char c;;) {
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        if (c == '\n') {
            return true;
        }
        line.push_back(c);
    }
}

std::string FirstLineOf(const std::string& path) {
    std::string text;
    try {
        text = ReadWholeFile(path);
    } catch (const std::system_error& e) {
        throw Error("cannot read the password file " + path + ": " + e.code().message());
    }
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// Asks for a password on the terminal that standard input is, without echo, restoring the
// terminal also when a signal ends the program meanwhile.
std::string AskPasswordOnTerminal(const std::string& prompt, std::ostream& err) {
    std::string line;
    {
        const EchoOff echoOff;
        err << prompt << std::flush;
        if (!ReadInputLine(line)) {
            throw Error("no password was typed");
        }
    }
    return line;
}

}  // namespace

std::string SigningPassword(const ParsedArguments& args, std::ostream& err) {
    const std::string pkcs12 = args.Value("sign-pkcs12");
    if (args.Has("sign-password-file")) {
        return FirstLineOf(args.Value("sign-password-file"));
    }
    if (args.Has("sign-password-env")) {
        const std::string name = args.Value("sign-password-env");
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) {
            throw Error("the environment variable " + name + " for the password of " + pkcs12 +
                        " is not set");
        }
        return value;
    }
    if (::isatty(STDIN_FILENO) == 0) {
        throw Error("no password for " + pkcs12 +
                    ": give --sign-password-file or --sign-password-env, or run on a terminal");
    }
    return AskPasswordOnTerminal("Password for " + pkcs12 + ": ", err);
}

}  // namespace quorlix
