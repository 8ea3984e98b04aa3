#pragma once

#include <string>
#include <vector>

namespace quorlix {

// Writes the original document and every package entry of an output executable under folder
// (made when missing): the document under the file name the player gives it (its original
// name made a plain file name, "document.docx" when it has none), each entry under its name
// decoded from the ANSI code page, with '\' between folders. Every name is checked before
// anything is written: a name that would leave the folder (a ".." part, an absolute path, a
// drive) or a symbolic link on the way is refused with quorlix::Error. Existing files are never
// replaced (std::system_error, EEXIST). On any failure the files and folders this call made are
// removed again. A package in which two entries, or an entry and the document, have one name
// (compared ignoring ASCII case) is damaged: it is refused before anything is written
// (PayloadError naming the entry), as is any other damage the reading finds. The sizes the
// entries claim are added up first: an extraction that would not fit in the free space of the
// folder's file system is refused before anything is written. Returns the paths written,
// document first.
std::vector<std::string> ExtractPayload(const std::string& executablePath,
                                        const std::string& folder);

}  // namespace quorlix
