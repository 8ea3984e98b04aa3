#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace quorlix::test {

// A FIFO whose writing end a thread opens and closes at once, so that code which opens it for
// reading and waits is let through (reading nothing) instead of hanging the test; code that
// refuses it without opening it blocking leaves the thread waiting until the object goes.
class OpenedFifo {
public:
    explicit OpenedFifo(std::string path) : path_(std::move(path)) {
        made_ = ::mkfifo(path_.c_str(), 0600) == 0;
        if (made_) {
            writer_ = std::thread([this] {
                const int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
                if (fd >= 0) {
                    ::close(fd);
                }
            });
        }
    }
    ~OpenedFifo() {
        if (!made_) {
            return;
        }
        // A reader of our own lets a writer still waiting go.
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        writer_.join();
        if (fd >= 0) {
            ::close(fd);
        }
    }
    OpenedFifo(const OpenedFifo&) = delete;
    OpenedFifo& operator=(const OpenedFifo&) = delete;

    bool made() const { return made_; }

private:
    std::string path_;
    bool made_ = false;
    std::thread writer_;
};

}  // namespace quorlix::test
