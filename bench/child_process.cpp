#include "child_process.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>
#include <thread>

#include "platform/error.h"

namespace quorlix::bench {

namespace {

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Both ends of a pipe, closed when the object goes.
class Pipe {
public:
    Pipe() {
        if (::pipe(fds_) != 0) {
            ThrowErrno("pipe");
        }
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    int read() const { return fds_[0]; }
    int write() const { return fds_[1]; }
    void CloseRead() { Close(fds_[0]); }
    void CloseWrite() { Close(fds_[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

    int fds_[2] = {-1, -1};
};

// The timed result the child sends to its parent.
struct Report {
    double seconds;
    std::uint64_t value;
};

[[noreturn]] void RunChild(const std::function<std::uint64_t()>& work,
                           const std::function<void()>& setup, int reportFd) {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    int code = 0;
    try {
        if (setup) {
            setup();
        }
        const auto start = std::chrono::steady_clock::now();
        const std::uint64_t value = work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const Report report{elapsed.count(), value};
        if (::write(reportFd, &report, sizeof report) != static_cast<ssize_t>(sizeof report)) {
            code = 3;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorlix-bench: %s\n", e.what());
        code = 1;
    } catch (...) {
        code = 1;
    }
    std::fflush(stderr);
    ::_exit(code);
}

Report ReadReport(int fd) {
    Report report{};
    auto* bytes = reinterpret_cast<char*>(&report);
    std::size_t done = 0;
    while (done < sizeof report) {
        const ssize_t n = ::read(fd, bytes + done, sizeof report - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (done != sizeof report) {
        throw Error("the measured process sent no result");
    }
    return report;
}

// The disk space of everything under folder now; entries that go while it is counted count 0.
std::uint64_t FolderBytes(const std::string& folder) {
    namespace fs = std::filesystem;
    std::uint64_t bytes = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) == 0) {
            bytes += static_cast<std::uint64_t>(st.st_blocks) * 512;
        }
    }
    return bytes;
}

// Samples a folder's disk space every millisecond on a thread of its own until it goes, and
// keeps the most seen.
class FolderWatch {
public:
    explicit FolderWatch(std::string folder) : folder_(std::move(folder)) {
        if (!folder_.empty()) {
            thread_ = std::thread([this] {
                while (!stop_.load()) {
                    peak_ = std::max(peak_, FolderBytes(folder_));
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                peak_ = std::max(peak_, FolderBytes(folder_));
            });
        }
    }
    ~FolderWatch() { Stop(); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    std::uint64_t Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return peak_;
    }

private:
    std::string folder_;
    std::atomic<bool> stop_{false};
    std::uint64_t peak_ = 0;
    std::thread thread_;
};

}  // namespace

ChildResult RunInChild(const std::function<std::uint64_t()>& work,
                       const std::function<void()>& setup, const std::string& watchedFolder) {
    Pipe pipe;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ThrowErrno("fork");
    }
    if (pid == 0) {
        pipe.CloseRead();
        RunChild(work, setup, pipe.write());
    }
    pipe.CloseWrite();
    // Started after the fork: the child never inherits a thread that holds a lock.
    FolderWatch watch(watchedFolder);
    int status = 0;
    struct rusage usage {};
    Report report{};
    bool received = true;
    try {
        report = ReadReport(pipe.read());
    } catch (const Error&) {
        received = false;
    }
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            ThrowErrno("wait4");
        }
    }
    const std::uint64_t peakFolderBytes = watch.Stop();
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw Error("the measured process failed");
    }
    // On Linux ru_maxrss is in KiB.
    return ChildResult{report.seconds, report.value, static_cast<std::uint64_t>(usage.ru_maxrss),
                       peakFolderBytes};
}

}  // namespace quorlix::bench
