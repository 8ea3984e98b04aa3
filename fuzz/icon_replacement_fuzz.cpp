// Runs the whole icon replacement on the player stub with an arbitrary icon file, or with the
// default icon on an arbitrary executable (first input byte odd): a failure must be an error
// that leaves the executable as it was, never a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "package/icon_replacement.h"
#include "package/output_assembly.h"
#include "platform/file.h"
#include "platform/program_resources.h"
#include "platform/temp_folder.h"

namespace {

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    quorlix::File file = quorlix::File::Open(path, quorlix::File::Mode::CreateTruncate);
    file.WriteAll(data, size);
    file.Close();
}

const std::string& Folder() {
    static const std::string folder = quorlix::TempFolderPath();
    return folder;
}

const std::string& StubBytes() {
    static const std::string bytes = [] {
        const std::vector<std::uint8_t>& stub = quorlix::InflatedProgramResource("exefile", "head");
        return std::string(stub.begin(), stub.end());
    }();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string exe = Folder() + "fuzz-target.exe";
    const std::string icon = Folder() + "fuzz-icon.ico";
    const bool fuzzExe = (data[0] & 1) != 0;
    if (fuzzExe) {
        WriteBytes(exe, data + 1, size - 1);
        const auto defaultIcon = quorlix::FindProgramResource("ICONFILE", "DORICON");
        WriteBytes(icon, defaultIcon->data(), defaultIcon->size());
    } else {
        const std::string& stub = StubBytes();
        WriteBytes(exe, reinterpret_cast<const std::uint8_t*>(stub.data()), stub.size());
        WriteBytes(icon, data + 1, size - 1);
    }
    const std::string before = quorlix::ReadWholeFile(exe);
    try {
        quorlix::ReplaceMainIcon(exe, icon);
    } catch (const std::exception&) {
        if (quorlix::ReadWholeFile(exe) != before) {
            std::abort();  // a failed replacement must leave the file as it was
        }
    }
    return 0;
}
