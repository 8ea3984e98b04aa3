#pragma once

#include <optional>
#include <string>

namespace quorlix {

// The major version of the installed Microsoft Word, from Word.Application\CurVer in the
// registry; nothing when Word is not installed.
std::optional<int> InstalledWordVersion();

// The message shown when the installed Word is older than `required`.
std::wstring WordTooOldMessage(int required, int installed);

}  // namespace quorlix
