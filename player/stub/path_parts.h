#pragma once

#include <string>

namespace quorlix {

// The file name of a Windows path: what follows its last '\'.
inline std::wstring FileNameOfPath(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

// The folder of a Windows path, without a trailing '\'; empty when the path names none.
inline std::wstring FolderOfPath(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The extension of a file name, with its dot; empty when it has none.
inline std::wstring ExtensionOfName(const std::wstring& name) {
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

}  // namespace quorlix
