#include "conversion/autorun_file.h"

#include <filesystem>

#include "conversion/text_file.h"
#include "platform/file_system.h"

namespace quorlix {

std::string AutorunPathFor(const std::string& outputPath) {
    return std::filesystem::path(outputPath).replace_filename("Autorun.inf");
}

AutorunFile::AutorunFile(const std::string& outputPath)
    : file_(AutorunPathFor(outputPath), ".part") {
    const std::string name = FileNameOf(outputPath);
    const std::string bytes =
        TextFileBytes(file_.finalPath(), {"[AutoRun]", "icon=" + name + ",0", "open=" + name});
    file_.file().WriteAll(bytes.data(), bytes.size());
    file_.file().Sync();
}

void AutorunFile::Commit() {
    file_.Commit(false);
}

void WriteAutorunFile(const std::string& outputPath) {
    AutorunFile(outputPath).Commit();
}

}  // namespace quorlix
