#include "cli/safe_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "common/entry_name.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace quorlix {

namespace {

// A folder descriptor, closed when the object goes.
class FolderHandle {
public:
    explicit FolderHandle(int fd) : fd_(fd) {}
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle(FolderHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FolderHandle& operator=(const FolderHandle&) = delete;
    FolderHandle& operator=(FolderHandle&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~FolderHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool NamesDrive(const std::string& name) {
    const char c = name.size() >= 2 ? name[0] : '\0';
    return name.size() >= 2 && name[1] == ':' && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

std::string JoinNative(const std::string& folder, const std::string& part) {
    return folder.empty() || folder.back() == '/' ? folder + part : folder + "/" + part;
}

[[noreturn]] void ThrowLink(const std::string& entryName, const std::string& link) {
    throw Error("The package entry " + Quoted(entryName) + " leads through the symbolic link " +
                Quoted(link) + ".");
}

bool IsLinkAt(int folderFd, const std::string& part) {
    struct stat st {};
    return ::fstatat(folderFd, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

// Opens (making it first when missing) the folder part inside folderFd, refusing a link. Sets
// made when this call created the folder.
int OpenOrMakeFolderAt(int folderFd, const std::string& part, const std::string& entryName,
                       const std::string& shownPath, bool& made) {
    made = ::mkdirat(folderFd, part.c_str(), 0777) == 0;
    if (!made && errno != EEXIST) {
        throw std::system_error(errno, std::generic_category(), shownPath);
    }
    const int fd =
        ::openat(folderFd, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (IsLinkAt(folderFd, part)) {
            ThrowLink(entryName, shownPath);
        }
        throw std::system_error(error, std::generic_category(), shownPath);
    }
    return fd;
}

}  // namespace

std::vector<std::string> EntryNameParts(const std::string& entryName) {
    const std::string shown = Quoted(entryName);
    if (entryName.empty()) {
        throw Error("The package entry name is empty.");
    }
    if (entryName.find('\0') != std::string::npos) {
        throw Error("The package entry name holds a zero byte.");
    }
    if (IsSeparator(entryName.front())) {
        throw Error("The package entry name " + shown + " is an absolute path.");
    }
    if (NamesDrive(entryName)) {
        throw Error("The package entry name " + shown + " names a drive.");
    }
    std::vector<std::string> parts(1);
    for (char c : entryName) {
        if (IsSeparator(c)) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    for (const std::string& part : parts) {
        if (part.empty() || part == "." || part == "..") {
            throw Error("The package entry name " + shown + " has a \"..\", \".\" or empty part.");
        }
    }
    if (!SplitEntryName(entryName)) {
        throw Error("The package entry name " + shown + " is not a name the player can place.");
    }
    return parts;
}

std::string ExtractionPath(const std::string& destinationFolder, const std::string& entryName) {
    std::string path = destinationFolder;
    bool checking = true;  // parts below the first missing one cannot be links
    for (const std::string& part : EntryNameParts(entryName)) {
        path = JoinNative(path, part);
        struct stat st {};
        if (checking && ::lstat(path.c_str(), &st) != 0) {
            checking = false;
        } else if (checking && S_ISLNK(st.st_mode)) {
            ThrowLink(entryName, path);
        }
    }
    return path;
}

namespace {

// Opens the folder that holds the entry's file, making the missing folders on the way without
// following a link; path becomes the native path of the entry's file.
FolderHandle OpenEntryFolder(const std::string& destinationFolder, const std::string& entryName,
                             std::string& path, std::vector<std::string>* createdFolders) {
    const std::vector<std::string> parts = EntryNameParts(entryName);
    FolderHandle folder(::open(destinationFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd() < 0) {
        throw std::system_error(errno, std::generic_category(), destinationFolder);
    }
    path = destinationFolder;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        path = JoinNative(path, parts[i]);
        bool made = false;
        folder = FolderHandle(OpenOrMakeFolderAt(folder.fd(), parts[i], entryName, path, made));
        if (made && createdFolders != nullptr) {
            createdFolders->push_back(path);
        }
    }
    path = JoinNative(path, parts.back());
    if (IsLinkAt(folder.fd(), parts.back())) {
        ThrowLink(entryName, path);
    }
    return folder;
}

}  // namespace

std::string CreateExtractionFolders(const std::string& destinationFolder,
                                    const std::string& entryName) {
    std::string path;
    OpenEntryFolder(destinationFolder, entryName, path, nullptr);
    return path;
}

File CreateExtractionFile(const std::string& destinationFolder, const std::string& entryName,
                          std::vector<std::string>& createdFolders) {
    std::string path;
    const FolderHandle folder =
        OpenEntryFolder(destinationFolder, entryName, path, &createdFolders);
    const std::string name = FileNameOf(path);
    const int fd = ::openat(folder.fd(), name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), path);
    }
    return File::Adopt(fd, path);
}

}  // namespace quorlix
