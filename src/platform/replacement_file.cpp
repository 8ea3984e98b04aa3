#include "platform/replacement_file.h"

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

}  // namespace

ReplacementFile::ReplacementFile(const std::string& finalPath, const std::string& suffix)
    : finalPath_(finalPath),
      temporaryPath_(TemporaryNameBeside(finalPath, suffix)),
      file_(File::Open(temporaryPath_, File::Mode::CreateNew)) {}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        try {
            file_.Close();
        } catch (const std::system_error&) {
        }
        DeleteFile(temporaryPath_);
    }
}

void ReplacementFile::Commit(bool sync) {
    if (sync) {
        file_.Sync();
    }
    file_.Close();
    if (std::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
        throw std::system_error(errno, std::generic_category(), finalPath_);
    }
    committed_ = true;
}

}  // namespace quorlix
