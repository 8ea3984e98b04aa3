// Gives each test process a temporary and a configuration folder of its own below the ones set
// for its executable, so that test cases running side by side never see each other's files.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// The test's home folder from CMake gives TMPDIR and XDG_CONFIG_HOME their base folders.
void UseTestHome() {
    const char* home = std::getenv("QUORLIX_TEST_HOME");
    if (home == nullptr || *home == '\0') {
        return;
    }
    ::setenv("TMPDIR", (std::string(home) + "/tmp").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (std::string(home) + "/config").c_str(), 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
}

// A test run without a configuration folder of its own never writes to the user's ~/.config.
void GuardConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config != '\0') {
        return;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string base =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quorlix-test-config";
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    ::setenv("XDG_CONFIG_HOME", base.c_str(), 1);
}

class PerProcessFolders {
public:
    PerProcessFolders() {
        UseTestHome();
        GuardConfigFolder();
        for (const char* variable : {"TMPDIR", "XDG_CONFIG_HOME"}) {
            const char* base = std::getenv(variable);
            if (base == nullptr || *base == '\0') {
                continue;
            }
            const std::string folder = std::string(base) + "/process-" + std::to_string(::getpid());
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
            std::filesystem::create_directories(folder, ec);
            ::setenv(variable, folder.c_str(), 1);
            folders_.push_back(folder);
        }
    }

    ~PerProcessFolders() {
        for (const std::string& folder : folders_) {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    }

    PerProcessFolders(const PerProcessFolders&) = delete;
    PerProcessFolders& operator=(const PerProcessFolders&) = delete;

private:
    std::vector<std::string> folders_;
};

const PerProcessFolders perProcessFolders;

}  // namespace

// fontconfig keeps its caches for the life of the process by design (librsvg and Qt load it);
// the leak checker is told so, in sanitizer builds.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
