#include "platform/owner_record.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/removal_guard.h"
#include "platform/temp_folder.h"

namespace quorlix {

namespace {

constexpr std::size_t kGuidLength = 38;
constexpr char kRecordSuffix[] = ".owner";

bool IsGuidAt(const std::string& name, std::size_t at) {
    if (at + kGuidLength > name.size() || name[at] != '{' || name[at + kGuidLength - 1] != '}') {
        return false;
    }
    for (std::size_t i = 1; i + 1 < kGuidLength; ++i) {
        const char c = name[at + i];
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// The last GUID in registry form in a file name; empty when there is none.
std::string GuidIn(const std::string& name) {
    for (std::size_t at = name.size(); at-- > 0;) {
        if (IsGuidAt(name, at)) {
            return name.substr(at, kGuidLength);
        }
    }
    return {};
}

// Takes the record's lock without waiting; false when a live owner holds it.
bool LockFree(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// Locks a record this process has just made, waiting a little for a clean-up that holds it for
// a moment. True when the record is still in place; false when that clean-up removed it. Any
// other failure removes the record and throws std::system_error with the system's text.
bool LockNewRecord(int fd, const std::string& recordPath) {
    const auto fail = [&](int error, const std::string& what) {
        ::unlink(recordPath.c_str());
        throw std::system_error(error, std::generic_category(), what + " " + recordPath);
    };
    for (int wait = 0; !LockFree(fd); ++wait) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || wait == 1000) {
            fail(errno, "locking the owner record");
        }
        ::usleep(1000);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        fail(errno, "checking the owner record");
    }
    return st.st_nlink > 0;
}

// Removes the thing a dead owner's record names; true when nothing of it is left.
bool RemoveRecordedThing(const std::string& path, const std::string& guid) {
    if (path.empty() || path.front() != '/' || GuidIn(FileNameOf(path)) != guid) {
        return true;  // not a record of ours: nothing is removed for it
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT;
    }
    if (S_ISDIR(st.st_mode)) {
        return DeleteFolder(path);
    }
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

// Reads the path a record names (its first line).
std::string RecordedPath(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 && text.size() < 65536) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(0, end);
}

// Handles one entry of the record folder; true when something was removed.
bool CleanEntry(int dir, const std::string& folder, const std::string& name) {
    if (!name.ends_with(kRecordSuffix)) {
        return false;
    }
    const int fd = ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const File held = File::Adopt(fd, folder + "/" + name);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !LockFree(fd)) {
        return false;
    }
    // An empty record is one whose owner died, or has not locked it yet and makes it again.
    if (!RemoveRecordedThing(RecordedPath(fd), GuidIn(name))) {
        return false;
    }
    return ::unlinkat(dir, name.c_str(), 0) == 0;
}

}  // namespace

bool NameHoldsGuid(const std::string& path) {
    return !GuidIn(FileNameOf(path)).empty();
}

std::string OwnerRecordFolder() {
    return TempFolderPath() + "dorvane/owners";
}

OwnerRecord::OwnerRecord(const std::string& givenPath) : file_(File::Adopt(-1, {})) {
    const std::string path = std::filesystem::absolute(givenPath).lexically_normal().string();
    const std::string guid = GuidIn(FileNameOf(path));
    if (guid.empty()) {
        throw Error("No GUID in the name of " + path);
    }
    const std::string folder = OwnerRecordFolder();
    CreateFolders(folder);
    recordPath_ = folder + "/" + guid + kRecordSuffix;
    const std::string line = path + "\n";
    // A clean-up that took the new record before its lock finds it empty and removes it; the
    // record is then made again, so that it is in place, locked and filled when this returns.
    for (int attempt = 0;; ++attempt) {
        file_ = File::Open(recordPath_, File::Mode::CreateNew);
        if (LockNewRecord(file_.descriptor(), recordPath_)) {
            break;
        }
        if (attempt == 2) {
            throw Error("The owner record " + recordPath_ +
                        " was removed by a clean-up each time it was made");
        }
    }
    RemovalGuard unwritten(recordPath_);
    file_.WriteAll(line.data(), line.size());
    unwritten.Keep();
}

OwnerRecord::~OwnerRecord() {
    if (!keep_) {
        ::unlink(recordPath_.c_str());
    }
}

int RemoveLeftoversOfDeadRuns() {
    std::string folder;
    try {
        folder = OwnerRecordFolder();
    } catch (const std::exception&) {
        return 0;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        names.emplace_back(entry->d_name);
    }
    int removed = 0;
    for (const std::string& name : names) {
        removed += CleanEntry(::dirfd(dir), folder, name) ? 1 : 0;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace quorlix
