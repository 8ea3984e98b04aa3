#include "conversion/autorun_file.h"

#include <filesystem>

#include "conversion/text_file.h"
#include "platform/file_system.h"
#include "platform/replacement_file.h"

namespace quorlix {

std::string AutorunPathFor(const std::string& outputPath) {
    return std::filesystem::path(outputPath).replace_filename("Autorun.inf");
}

void WriteAutorunFile(const std::string& outputPath) {
    const std::string name = FileNameOf(outputPath);
    const std::string path = AutorunPathFor(outputPath);
    const std::string bytes =
        TextFileBytes(path, {"[AutoRun]", "icon=" + name + ",0", "open=" + name});
    ReplacementFile file(path, ".part");
    file.file().WriteAll(bytes.data(), bytes.size());
    file.Commit(true);
}

}  // namespace quorlix
