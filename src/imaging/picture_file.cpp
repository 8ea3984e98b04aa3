#include "imaging/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "platform/error.h"
#include "platform/file.h"

namespace quorlix {

std::vector<std::uint8_t> ReadPictureFile(const std::string& path) {
    // O_NONBLOCK keeps the open of a FIFO or a device from waiting; a regular file ignores it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), path);
    }
    File file = File::Adopt(fd, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        throw std::system_error(errno, std::generic_category(), path);
    }
    if (!S_ISREG(st.st_mode)) {
        throw Error(path + ": not a regular file");
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxPictureFileBytes) {
        throw Error(path + ": picture file too large (" + std::to_string(st.st_size) + " bytes)");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    // A file that grew since fstat is read only as far as its size was then.
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

}  // namespace quorlix
