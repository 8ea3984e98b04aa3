#include "platform/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
#include <system_error>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/removal_guard.h"

namespace quorlix {

namespace {

// A defaults file larger than this is taken for damaged rather than read into memory.
constexpr std::size_t kLargestFile = 16 << 20;
constexpr std::size_t kChunk = 64 << 10;

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

std::string FolderOrDot(const std::string& path) {
    const std::string folder = FolderOf(path);
    return folder.empty() ? "." : folder;
}

void Step(WriteStepHook* hook, std::string_view step) {
    if (hook != nullptr) {
        hook->Before(step);
    }
}

// Opens with the flags given, retrying an interrupted call; -1 with errno set on failure.
int OpenRetrying(const std::string& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

File OpenOrThrow(const std::string& path, int flags, WriteStepHook* hook, std::string_view step) {
    Step(hook, step);
    const int fd = OpenRetrying(path, flags);
    if (fd < 0) {
        ThrowErrno(path);
    }
    return File::Adopt(fd, path);
}

// Opens the defaults file for reading without waiting on a FIFO or device: only a regular file
// is read (std::system_error "not a regular file" otherwise); none when nothing is there.
std::optional<File> OpenIfThere(const std::string& path) {
    try {
        return File::Open(path, File::Mode::Read);
    } catch (const std::system_error& e) {
        if (e.code() == std::errc::no_such_file_or_directory) {
            return std::nullopt;
        }
        throw;
    }
}

void CloseStep(File& file, WriteStepHook* hook, std::string_view step) {
    Step(hook, step);
    file.Close();
}

std::string ReadAll(File& file, WriteStepHook* hook) {
    std::string bytes;
    std::string chunk(kChunk, '\0');
    for (;;) {
        Step(hook, "read file");
        const ssize_t n = ::read(file.descriptor(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ThrowErrno(file.path());
        }
        if (n == 0 || bytes.size() > kLargestFile) {
            return bytes;
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(n));
    }
}

void SyncFolder(const std::string& folder, WriteStepHook* hook) {
    File dir = OpenOrThrow(folder, O_RDONLY | O_DIRECTORY, hook, "open folder");
    Step(hook, "sync folder");
    dir.Sync();
    CloseStep(dir, hook, "close folder");
}

// "fennimorpro.reg" becomes "fennimorpro-damaged-20261208-101500.reg", "-2" added on a clash.
std::string AsideName(const std::string& path, int attempt) {
    const std::string name = FileNameOf(path);
    const std::string extension = ExtensionOf(name);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string clash = attempt > 1 ? "-" + std::to_string(attempt) : "";
    return FolderOrDot(path) + "/" + name.substr(0, name.size() - extension.size()) + "-damaged-" +
           stamp + clash + extension;
}

// Renames the damaged file to a name no other file has; returns that name.
std::string MoveAside(const std::string& path, WriteStepHook* hook) {
    for (int attempt = 1;; ++attempt) {
        const std::string aside = AsideName(path, attempt);
        Step(hook, "rename aside");
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            SyncFolder(FolderOrDot(path), hook);
            return aside;
        }
        if (errno != EEXIST || attempt >= 100) {
            ThrowErrno(path);
        }
    }
}

void WriteReplacement(const std::string& path, const std::string& text, WriteStepHook* hook) {
    const std::string temporary = path + ".tmp";
    Step(hook, "remove temporary");
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        ThrowErrno(temporary);
    }
    File file =
        OpenOrThrow(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, hook, "create temporary");
    RemovalGuard unfinished(temporary);
    for (std::size_t done = 0; done < text.size(); done += kChunk) {
        Step(hook, "write temporary");
        file.WriteAll(text.data() + done, std::min(kChunk, text.size() - done));
    }
    Step(hook, "sync temporary");
    file.Sync();
    CloseStep(file, hook, "close temporary");
    Step(hook, "rename");
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ThrowErrno(path);
    }
    unfinished.Keep();
    SyncFolder(FolderOrDot(path), hook);
}

// Holds the exclusive lock on the lock file beside the defaults file while it lives.
class SettingsLock {
public:
    SettingsLock(const std::string& path, WriteStepHook* hook)
        : file_(OpenOrThrow(path + ".lock", O_RDWR | O_CREAT | O_NOFOLLOW, hook, "open lock")),
          hook_(hook) {
        Step(hook, "lock");
        while (::flock(file_.descriptor(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                ThrowErrno(file_.path());
            }
        }
    }
    ~SettingsLock() {
        try {
            CloseStep(file_, hook_, "unlock");
        } catch (const std::system_error&) {
        }
    }
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

private:
    File file_;
    WriteStepHook* hook_;
};

}  // namespace

SettingsFileState ReadSettingsFile(const std::string& path, WriteStepHook* hook) {
    SettingsFileState state;
    Step(hook, "open file");
    std::optional<File> opened = OpenIfThere(path);
    if (!opened) {
        return state;
    }
    File& file = *opened;
    const std::string bytes = ReadAll(file, hook);
    CloseStep(file, hook, "close file");
    if (bytes.size() > kLargestFile) {
        state.kind = SettingsFileState::Kind::Damaged;
        state.damage = "the file is larger than 16 MiB";
        return state;
    }
    try {
        state.file = ParseRegistryText(bytes);
        state.kind = SettingsFileState::Kind::Parsed;
    } catch (const Error& error) {
        state.kind = SettingsFileState::Kind::Damaged;
        state.damage = error.what();
    }
    return state;
}

void ChangeSettingsFile(const std::string& path, const std::function<bool(RegistryFile&)>& change,
                        SettingsChange& result, WriteStepHook* hook) {
    Step(hook, "create folder");
    CreateFolders(FolderOrDot(path));
    const SettingsLock lock(path, hook);
    SettingsFileState state = ReadSettingsFile(path, hook);
    if (state.kind == SettingsFileState::Kind::Damaged) {
        result.damage = state.damage;
        result.keptAsidePath = MoveAside(path, hook);
    }
    result.file = std::move(state.file);
    const bool changed = change(result.file);
    if (changed || state.kind != SettingsFileState::Kind::Parsed) {
        WriteReplacement(path, RegistryText(result.file), hook);
    }
}

}  // namespace quorlix
