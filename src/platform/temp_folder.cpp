#include "platform/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/error.h"

namespace quorlix {

std::string TempFolderPath() {
    const char* env = std::getenv("TMPDIR");
    std::string base = (env != nullptr && *env != '\0') ? env : "/tmp";
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    const uid_t uid = ::getuid();
    const std::string folder = base + "/quorlix-" + std::to_string(uid);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        throw std::system_error(errno, std::generic_category(), folder);
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        throw std::system_error(errno, std::generic_category(), folder);
    }
    if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode) || st.st_uid != uid) {
        throw Error("The temporary folder " + folder + " is not a private folder of this user");
    }
    // Others may have put things in it already (records that name what a later run removes),
    // so it is refused rather than repaired.
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        throw Error("The temporary folder " + folder + " can be written by other users (mode " +
                    mode + "); remove it, or make it private with chmod 700");
    }
    return folder + "/";
}

}  // namespace quorlix
