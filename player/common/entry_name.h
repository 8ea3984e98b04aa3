#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlix {

// Splits a package entry name at '\' into its folder names and file name, for placing the entry
// under a folder of the player's own. Nothing when the name could leave that folder or is not a
// plain Windows file name: empty, absolute or UNC ("\..."), with a drive letter or stream (':'),
// with '/', an empty, "." or ".." part, a part longer than 255 code units or ending in '.' or ' ',
// a control character or one of
// <>"|?*, or a device name (CON, NUL, COM1, ...). Checks ASCII only, so the name must be in UTF-16
// or UTF-8, not in a double-byte code page whose second bytes may be '\'.
std::optional<std::vector<std::string>> SplitEntryName(std::string_view name);
std::optional<std::vector<std::wstring>> SplitEntryName(std::wstring_view name);

}  // namespace quorlix
