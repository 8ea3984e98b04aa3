#pragma once

#include <string>
#include <string_view>

namespace quorlix {

// The folder of the running program's executable, without a trailing '/'; throws
// std::system_error when the system cannot tell.
std::string ExecutableFolder();

// Where the program's data file of that name ("Help.chm") is: beside the executable when it is
// there (a build folder), else in the data folder of an installed program (<prefix>/share/quorlix
// for <prefix>/bin). When neither holds it, the path beside the executable, so that opening it
// fails the way a missing file beside a Windows program does.
std::string ProgramDataFile(const std::string& executableFolder, std::string_view name);

// The first page of the HTML manual: html/index.html beside the executable (a build folder),
// else in the installed documentation (<prefix>/share/doc/quorlix/html for <prefix>/bin); empty
// when neither holds it.
std::string HtmlManualIndex(const std::string& executableFolder);

}  // namespace quorlix
