#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "common/byte_order.h"
#include "platform/removal_guard.h"

namespace quorlix {

namespace {

[[noreturn]] void ThrowErrno(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

int OpenFlags(File::Mode mode) {
    switch (mode) {
        case File::Mode::Read:
        case File::Mode::ReadExclusive:
            return O_RDONLY;
        case File::Mode::WriteExclusive:
            return O_RDWR | O_NOFOLLOW;
        case File::Mode::CreateTruncate:
        case File::Mode::CreateTruncateExclusive:
            return O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
        case File::Mode::CreateNew:
            return O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    }
    return O_RDONLY;
}

bool IsExclusive(File::Mode mode) {
    return mode == File::Mode::ReadExclusive || mode == File::Mode::WriteExclusive ||
           mode == File::Mode::CreateTruncateExclusive;
}

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "quorlix file"; }
    std::string message(int) const override { return "not a regular file"; }
};

}  // namespace

std::error_code NotRegularFileError() {
    static const FileErrorCategory category;
    return {1, category};
}

namespace {

// Refuses what is not a regular file, leaves the descriptor blocking, takes the lock of an
// exclusive mode and truncates late when asked.
void PrepareOpened(int fd, const std::string& path, File::Mode mode, bool truncateLater) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ThrowErrno(errno, path);
    }
    if (S_ISDIR(st.st_mode)) {
        ThrowErrno(EISDIR, path);
    }
    if (!S_ISREG(st.st_mode)) {
        throw std::system_error(NotRegularFileError(), path);
    }
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ThrowErrno(errno, path);
    }
    if (IsExclusive(mode) && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ThrowErrno(errno, path);
    }
    // Truncating an empty file would only make the file system flush it at close.
    if (truncateLater && st.st_size != 0 && ::ftruncate(fd, 0) != 0) {
        ThrowErrno(errno, path);
    }
}

}  // namespace

File File::Open(const std::string& path, Mode mode) {
    // Opening an exclusive file to truncate it must not empty a file another process holds.
    const bool truncateLater = mode == Mode::CreateTruncateExclusive;
    // Without blocking, so that a FIFO or device never holds the open up; refused below.
    int flags = OpenFlags(mode) | O_CLOEXEC | O_NONBLOCK;
    if (truncateLater) {
        flags &= ~O_TRUNC;
    }
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        ThrowErrno(errno, path);
    }
    File file(fd, path);
    // A file this call created (O_EXCL) is not left behind when it cannot be used.
    RemovalGuard created(mode == Mode::CreateNew ? path : std::string());
    PrepareOpened(fd, path, mode, truncateLater);
    created.Keep();
    return file;
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

File::~File() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::uint64_t File::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        ThrowErrno(errno, path_);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t File::Position() const {
    const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0) {
        ThrowErrno(errno, path_);
    }
    return static_cast<std::uint64_t>(pos);
}

void File::Seek(std::uint64_t position) {
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) {
        ThrowErrno(errno, path_);
    }
}

void File::SeekEnd() {
    if (::lseek(fd_, 0, SEEK_END) < 0) {
        ThrowErrno(errno, path_);
    }
}

std::size_t File::Read(void* buffer, std::size_t count) {
    auto* p = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(errno, path_);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void File::ReadExactly(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count) {
        ThrowErrno(EIO, path_ + ": file ended early");
    }
}

void File::WriteAll(const void* buffer, std::size_t count) {
    const auto* p = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(errno, path_);
        }
        done += static_cast<std::size_t>(n);
    }
}

void File::Sync() {
    if (::fsync(fd_) != 0) {
        ThrowErrno(errno, path_);
    }
}

void File::Close() {
    if (fd_ < 0) {
        return;
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR) {
        ThrowErrno(errno, path_);
    }
}

void WriteLE32(File& file, std::uint32_t value) {
    std::uint8_t field[4];
    SetLE32(field, value);
    file.WriteAll(field, sizeof field);
}

std::string ReadWholeFile(const std::string& path) {
    File file = File::Open(path, File::Mode::Read);
    std::string bytes(file.Size(), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

}  // namespace quorlix
