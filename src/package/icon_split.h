#pragma once

#include <string>

namespace quorlix {

// Writes each image of an icon file as a single-image icon file "<n>i.ico" (n from 0) into the
// preview folder and returns the image count. Nothing is checked; a file too short for what its
// directory says throws std::system_error (a read error), removing the file being written.
int SplitIconImages(const std::string& iconPath, const std::string& previewFolder);

}  // namespace quorlix
