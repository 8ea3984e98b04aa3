#pragma once

#include <string>
#include <vector>

#include "platform/file.h"

namespace quorlix {

// The parts of a package entry name ('\' or '/' between them). Throws quorlix::Error when the
// name is empty, absolute, names a drive ("C:"), holds a zero byte, has a "..", "." or empty
// part, or is any other name the player refuses to place (SplitEntryName).
std::vector<std::string> EntryNameParts(const std::string& entryName);

// The native path under destinationFolder for a package entry name. Throws quorlix::Error for an
// unsafe name (see EntryNameParts) or when a part that exists below the folder is a symbolic
// link.
std::string ExtractionPath(const std::string& destinationFolder, const std::string& entryName);

// Creates the missing folders between destinationFolder and the entry's file without following
// any link below the folder, and returns ExtractionPath for the entry. Throws quorlix::Error for
// an unsafe name or a link on the way, std::system_error when a folder cannot be made or a part
// on the way is not a folder.
std::string CreateExtractionFolders(const std::string& destinationFolder,
                                    const std::string& entryName);

// Creates the entry's file under destinationFolder, new and open for writing: the folders on the
// way are made and opened one by one without following a link, and the file itself is created
// with O_CREAT | O_EXCL | O_NOFOLLOW, so nothing outside the folder is written and nothing there
// is replaced. Folders this call made are appended to createdFolders, outermost first. Throws
// like CreateExtractionFolders, and std::system_error (EEXIST) when something is already at the
// file's place.
File CreateExtractionFile(const std::string& destinationFolder, const std::string& entryName,
                          std::vector<std::string>& createdFolders);

}  // namespace quorlix
