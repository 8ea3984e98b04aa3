#pragma once

#include <cstddef>
#include <string_view>

namespace quorlix {

// A run of the player keeps its files in folders of the temporary folder named "quorlix-" and
// three groups of lower-case hexadecimal digits joined by '-' ("quorlix-1a2c-5f00e1-0"). Beside
// each lies its owner mark, the same name and ".owner", which the run holds open while it lives.
inline constexpr std::wstring_view kRunFolderPrefix = L"quorlix-";
inline constexpr std::wstring_view kOwnerMarkSuffix = L".owner";

// Whether `name` is the name of a run folder, so that a later run may remove it.
inline bool IsRunFolderName(std::wstring_view name) {
    if (!name.starts_with(kRunFolderPrefix)) {
        return false;
    }
    name.remove_prefix(kRunFolderPrefix.size());
    int groups = 0;
    std::size_t digits = 0;
    for (const wchar_t c : name) {
        if (c == L'-') {
            if (digits == 0) {
                return false;
            }
            ++groups;
            digits = 0;
        } else if (((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')) && digits < 16) {
            ++digits;
        } else {
            return false;
        }
    }
    return groups == 2 && digits != 0;
}

// The run folder that an owner mark of this name belongs to; empty when it is none.
inline std::wstring_view RunFolderOfMark(std::wstring_view name) {
    if (!name.ends_with(kOwnerMarkSuffix)) {
        return {};
    }
    name.remove_suffix(kOwnerMarkSuffix.size());
    return IsRunFolderName(name) ? name : std::wstring_view();
}

}  // namespace quorlix
