#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>

namespace quorlix {

// The error of an open that finds a FIFO, device or socket: "not a regular file".
std::error_code NotRegularFileError();

// An open file descriptor, closed when the object goes; every failure throws std::system_error.
// Only regular files are opened, never waiting on a FIFO or device; files opened for writing
// are never reached through a link.
class File {
public:
    enum class Mode {
        Read,            // existing file, read only
        ReadExclusive,   // existing file, read only, no other exclusive holder
        WriteExclusive,  // existing file, read and write, no other exclusive holder
        CreateTruncate,  // created or emptied, write only
        CreateTruncateExclusive,
        CreateNew,  // a new file that must not exist yet (not even as a link)
    };

    static File Open(const std::string& path, Mode mode);
    // Takes over a descriptor that the caller opened; path is what errors name.
    static File Adopt(int fd, std::string path) { return File(fd, std::move(path)); }

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    std::uint64_t Size() const;
    std::uint64_t Position() const;
    void Seek(std::uint64_t position);
    void SeekEnd();

    // Reads up to count bytes; returns fewer only at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    // Reads exactly count bytes; a short read throws (EIO).
    void ReadExactly(void* buffer, std::size_t count);
    void WriteAll(const void* buffer, std::size_t count);
    void Sync();
    // Closes now and reports a failing close; the destructor closes silently.
    void Close();

    const std::string& path() const { return path_; }
    int descriptor() const { return fd_; }
    // Names another path in this file's errors from now on (the final path of a file written
    // under a temporary name).
    void NameInErrors(std::string path) { path_ = std::move(path); }

private:
    File(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    int fd_ = -1;
    std::string path_;
};

// Writes a 32-bit value in little-endian order at the file's position.
void WriteLE32(File& file, std::uint32_t value);

// Reads a whole file into memory.
std::string ReadWholeFile(const std::string& path);

}  // namespace quorlix
