#pragma once

#include <string>

namespace quorlix {

// The current user's temporary folder with a trailing '/': $TMPDIR (else /tmp) plus a private
// folder quorlix-<uid>, made with mode 0700; throws quorlix::Error when that folder is a link,
// not a folder, owned by someone else or writable by other users.
std::string TempFolderPath();

}  // namespace quorlix
