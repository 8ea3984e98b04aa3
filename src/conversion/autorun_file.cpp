#include "conversion/autorun_file.h"

#include <filesystem>

#include "conversion/text_file.h"
#include "platform/file_system.h"

namespace quorlix {

void WriteAutorunFile(const std::string& outputPath) {
    const std::string name = FileNameOf(outputPath);
    const std::string path = std::filesystem::path(outputPath).replace_filename("Autorun.inf");
    WriteTextLines(path, {"[AutoRun]", "icon=" + name + ",0", "open=" + name});
}

}  // namespace quorlix
