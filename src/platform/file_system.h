#pragma once

#include <cstdint>
#include <string>

namespace quorlix {

// A file's size by directory lookup (low 32 bits, as a signed number); -1 when nothing is there.
std::int32_t FileSizeOf(const std::string& path);

// True when a regular file (or a link to one) is at the path.
bool FileExists(const std::string& path);
// The same for a file that a conversion is asked to carry: nothing there (or no way to reach it)
// gives false, but any other failure of the lookup (a failing disk) throws std::system_error, so
// that it fails the output instead of leaving the file out.
bool ChosenFileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Creates the folder and every missing parent; throws std::system_error on failure.
void CreateFolders(const std::string& path);

// Deletes a file (a link itself, not what it names); false when it is not there, is a folder or
// cannot be deleted, such as while another holder has it open exclusively.
bool DeleteFile(const std::string& path);

// Deletes a folder with everything in it, never following a link out of it; false on failure.
bool DeleteFolder(const std::string& path);

// The part of a native path after its last '/'.
std::string FileNameOf(const std::string& path);
// The folder part of a native path, without the trailing '/'; empty for a bare name.
std::string FolderOf(const std::string& path);
// The extension of a path's file name, dot included; empty when the name has none.
std::string ExtensionOf(const std::string& path);

}  // namespace quorlix
