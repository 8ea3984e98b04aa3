#include "platform/replacement_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/guid.h"

namespace quorlix {

namespace {

// The longest file name the folder's file system takes; 255 where it does not say.
std::size_t LongestNameIn(const std::string& folder) {
    const long longest = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : 255;
}

// The first bytes of a UTF-8 name, at most length of them, ending between two characters.
std::string NamePrefix(const std::string& name, std::size_t length) {
    if (name.size() <= length) {
        return name;
    }
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) {
        --length;
    }
    return name.substr(0, length);
}

// "." + the final name + "." + a GUID + suffix in the same folder; the final name is cut short
// where the whole would be longer than the file system takes, so that the temporary name fits
// wherever the final one does.
std::string TemporaryNameBeside(const std::string& path, const std::string& suffix) {
    const std::string guid = NewGuidText();
    if (guid.empty()) {
        throw Error("No GUID for a temporary file beside " + path);
    }
    const std::string folder = FolderOf(path);
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    const std::string tail = "." + guid + suffix;
    const std::size_t longest = LongestNameIn(folder);
    const std::size_t room = longest > tail.size() + 1 ? longest - tail.size() - 1 : 0;
    return prefix + "." + NamePrefix(FileNameOf(path), room) + tail;
}

// Opens the temporary file; its errors, then and later, name the final path.
File OpenNamingFinal(const std::string& temporaryPath, File::Mode mode,
                     const std::string& finalPath) {
    try {
        File file = File::Open(temporaryPath, mode);
        file.NameInErrors(finalPath);
        return file;
    } catch (const std::system_error& e) {
        throw std::system_error(e.code(), finalPath);
    }
}

[[noreturn]] void ThrowErrno(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

}  // namespace

std::optional<File> HoldForReplacement(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        ThrowErrno(errno, path);
    }
    if (S_ISDIR(st.st_mode)) {
        ThrowErrno(EISDIR, path);
    }
    if (!S_ISREG(st.st_mode)) {
        return std::nullopt;  // a link or other entry is replaced, never followed
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ELOOP) {
            return std::nullopt;
        }
        ThrowErrno(errno, path);
    }
    File held = File::Adopt(fd, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ThrowErrno(errno == EWOULDBLOCK ? EBUSY : errno, path);
    }
    return held;
}

ReplacementFile::ReplacementFile(const std::string& finalPath, const std::string& suffix)
    : finalPath_(finalPath),
      temporaryPath_(TemporaryNameBeside(finalPath, suffix)),
      owner_(temporaryPath_),
      file_(OpenNamingFinal(temporaryPath_, File::Mode::CreateNew, finalPath_)) {}

ReplacementFile::~ReplacementFile() {
    if (committed_) {
        return;
    }
    file_.reset();
    if (::unlink(temporaryPath_.c_str()) != 0 && errno != ENOENT) {
        owner_.Keep();
    }
}

void ReplacementFile::ReleaseFile() {
    if (file_) {
        file_->Close();
        file_.reset();
    }
}

void ReplacementFile::ReopenFile() {
    ReleaseFile();
    file_.emplace(OpenNamingFinal(temporaryPath_, File::Mode::WriteExclusive, finalPath_));
}

void ReplacementFile::Commit(bool sync) {
    if (!file_ && sync) {
        file_.emplace(OpenNamingFinal(temporaryPath_, File::Mode::Read, finalPath_));
    }
    if (file_) {
        if (sync) {
            file_->Sync();
        }
        file_->Close();
        file_.reset();
    }
    const std::optional<File> held = HoldForReplacement(finalPath_);
    if (std::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
        ThrowErrno(errno, finalPath_);
    }
    committed_ = true;
}

}  // namespace quorlix
