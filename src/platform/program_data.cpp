#include "platform/program_data.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/file_system.h"

#ifndef QUORLIX_DATA_FROM_BIN
#define QUORLIX_DATA_FROM_BIN "../share/quorlix"
#endif
#ifndef QUORLIX_MANUAL_FROM_BIN
#define QUORLIX_MANUAL_FROM_BIN "../share/doc/quorlix/html"
#endif

namespace quorlix {

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw std::system_error(error, "/proc/self/exe");
    }
    return exe.parent_path().string();
}

std::string ProgramDataFile(const std::string& executableFolder, std::string_view name) {
    const std::string beside = executableFolder + "/" + std::string(name);
    if (FileExists(beside)) {
        return beside;
    }
    const std::filesystem::path installed =
        (std::filesystem::path(executableFolder) / QUORLIX_DATA_FROM_BIN / name).lexically_normal();
    return FileExists(installed.string()) ? installed.string() : beside;
}

std::string HtmlManualIndex(const std::string& executableFolder) {
    const std::string beside = executableFolder + "/html/index.html";
    if (FileExists(beside)) {
        return beside;
    }
    const std::filesystem::path installed =
        (std::filesystem::path(executableFolder) / QUORLIX_MANUAL_FROM_BIN / "index.html")
            .lexically_normal();
    return FileExists(installed.string()) ? installed.string() : std::string();
}

}  // namespace quorlix
