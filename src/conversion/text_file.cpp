#include "conversion/text_file.h"

#include "platform/ansi_code_page.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/removal_guard.h"

namespace quorlix {

std::string TextFileBytes(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos) {
            throw Error("A line of " + FileNameOf(path) + " holds a line break: " + line);
        }
        bytes += ToAnsi(line);
        bytes += "\r\n";
    }
    return bytes;
}

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    const std::string bytes = TextFileBytes(path, lines);
    File file = File::Open(path, File::Mode::CreateTruncate);
    RemovalGuard unwritten(path);
    file.WriteAll(bytes.data(), bytes.size());
    file.Close();
    unwritten.Keep();
}

}  // namespace quorlix
