#include "platform/owner_record.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/temp_folder.h"

namespace quorlix {

namespace {

constexpr std::size_t kGuidLength = 38;
constexpr char kRecordSuffix[] = ".owner";
constexpr char kPendingSuffix[] = ".new";
// A pending record (created, not yet in place) this old belongs to no running copy.
constexpr std::time_t kPendingAge = 60;

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

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Takes the record's lock without waiting; false when a live owner holds it.
bool LockFree(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
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
    const bool record = name.ends_with(kRecordSuffix);
    const bool pending = name.ends_with(kPendingSuffix);
    if (!record && !pending) {
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
    if (pending && std::time(nullptr) - st.st_mtime < kPendingAge) {
        return false;
    }
    if (record && !RemoveRecordedThing(RecordedPath(fd), GuidIn(name))) {
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
    const std::string pendingPath = folder + "/" + guid + kPendingSuffix;
    recordPath_ = folder + "/" + guid + kRecordSuffix;
    // Locked before it takes its final name, so no clean-up ever sees it unlocked.
    file_ = File::Open(pendingPath, File::Mode::CreateNew);
    if (!LockFree(file_.descriptor())) {
        ::unlink(pendingPath.c_str());
        ThrowErrno(pendingPath);
    }
    try {
        const std::string line = path + "\n";
        file_.WriteAll(line.data(), line.size());
        if (std::rename(pendingPath.c_str(), recordPath_.c_str()) != 0) {
            ThrowErrno(recordPath_);
        }
    } catch (...) {
        ::unlink(pendingPath.c_str());
        throw;
    }
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
