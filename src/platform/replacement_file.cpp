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

std::string TemporaryNameBeside(const std::string& path, const std::string& suffix) {
    const std::string guid = NewGuidText();
    if (guid.empty()) {
        throw Error("No GUID for a temporary file beside " + path);
    }
    const std::string folder = FolderOf(path);
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    return prefix + "." + FileNameOf(path) + "." + guid + suffix;
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
      file_(File::Open(temporaryPath_, File::Mode::CreateNew)) {}

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
    file_.emplace(File::Open(temporaryPath_, File::Mode::WriteExclusive));
}

void ReplacementFile::Commit(bool sync) {
    if (!file_ && sync) {
        file_.emplace(File::Open(temporaryPath_, File::Mode::Read));
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
