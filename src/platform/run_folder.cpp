#include "platform/run_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/guid.h"
#include "platform/temp_folder.h"

namespace quorlix {

namespace {

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

RunFolder::RunFolder(std::string path) : path_(WithoutTrailingSlash(std::move(path))) {
    if (NameHoldsGuid(path_)) {
        owner_.emplace(path_);
    }
    const std::string parent = FolderOf(path_);
    if (!parent.empty()) {
        CreateFolders(parent);
    }
    if (::mkdir(path_.c_str(), 0700) != 0) {
        if (errno == EEXIST) {
            throw Error("The folder " + path_ + " exists already");
        }
        throw std::system_error(errno, std::generic_category(), path_);
    }
}

RunFolder::~RunFolder() {
    struct stat st {};
    if (!DeleteFolder(path_) && ::lstat(path_.c_str(), &st) == 0 && owner_) {
        owner_->Keep();
    }
}

std::string NewRunFolderPath() {
    const std::string guid = NewGuidText();
    if (guid.empty()) {
        throw Error("No GUID can be made for a per-run folder");
    }
    return TempFolderPath() + "dorvane/" + guid;
}

}  // namespace quorlix
