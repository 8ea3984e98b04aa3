#include "platform/run_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/guid.h"
#include "platform/temp_folder.h"

namespace quorlix {

RunFolder::RunFolder(std::string path) : path_(std::move(path)) {
    while (path_.size() > 1 && path_.back() == '/') {
        path_.pop_back();
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
    DeleteFolder(path_);
}

std::string NewRunFolderPath() {
    const std::string guid = NewGuidText();
    if (guid.empty()) {
        throw Error("No GUID can be made for a per-run folder");
    }
    return TempFolderPath() + "dorvane/" + guid;
}

std::string StagedCopyPath(const std::string& runFolder) {
    if (!runFolder.empty() && runFolder.back() == '/') {
        return runFolder + "~~~.txt";
    }
    return runFolder + "/~~~.txt";
}

}  // namespace quorlix
