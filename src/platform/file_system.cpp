#include "platform/file_system.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/file.h"

namespace quorlix {

namespace fs = std::filesystem;

std::int32_t FileSizeOf(const std::string& path) {
    if (path.empty()) {
        return -1;
    }
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    if (ec) {
        return -1;
    }
    struct stat st {};
    if (::stat(full.c_str(), &st) != 0) {
        return -1;
    }
    if (S_ISDIR(st.st_mode)) {
        return 0;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(st.st_size));
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool ChosenFileExists(const std::string& path) {
    struct stat st {};
    if (path.empty()) {
        return false;
    }
    if (::stat(path.c_str(), &st) == 0) {
        return S_ISREG(st.st_mode);
    }
    switch (errno) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
        case EACCES:
        case ELOOP:
            return false;
        default:
            throw std::system_error(errno, std::generic_category(), path);
    }
}

bool FolderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

void CreateFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec) {
        throw std::system_error(ec, path);
    }
    if (!fs::is_directory(path, ec)) {
        throw std::system_error(std::make_error_code(std::errc::not_a_directory), path);
    }
}

bool DeleteFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (ec || !fs::exists(st) || fs::is_directory(st)) {
        return false;
    }
    // A file that another holder has open exclusively cannot be deleted, as on Windows.
    std::optional<File> held;
    if (fs::is_regular_file(st)) {
        try {
            held.emplace(File::Open(path, File::Mode::ReadExclusive));
        } catch (const std::system_error& e) {
            if (e.code() == std::errc::resource_unavailable_try_again ||
                e.code() == std::errc::operation_would_block) {
                return false;
            }
        }
    }
    return fs::remove(path, ec) && !ec;
}

bool DeleteFolder(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (ec || !fs::exists(st)) {
        return false;
    }
    // remove_all never descends through a link; a link given here is removed, not its target.
    fs::remove_all(path, ec);
    return !ec;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string ExtensionOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace quorlix
