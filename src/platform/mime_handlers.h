#pragma once

#include <string>
#include <vector>

namespace quorlix {

// Where the desktop keeps which applications open which types of file (the XDG base
// directories), most important first.
struct MimeAssociationFolders {
    std::vector<std::string> config;    // $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS
    std::vector<std::string> data;      // $XDG_DATA_HOME, then $XDG_DATA_DIRS
    std::vector<std::string> desktops;  // $XDG_CURRENT_DESKTOP, lower case

    // The folders of this user's session, with the XDG base directory defaults.
    static MimeAssociationFolders FromEnvironment();
};

// True when some installed application is registered for the type (or one of its aliases):
// named as a default or an added association in a mimeapps.list, or listed for it in a
// mimeinfo.cache, and not removed again by a [Removed Associations] that takes precedence.
bool HasApplicationFor(const std::string& mimeType, const MimeAssociationFolders& folders);

}  // namespace quorlix
