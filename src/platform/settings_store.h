#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/registry_text.h"
#include "platform/settings_file.h"

namespace quorlix {

// The key that holds the per-user defaults.
inline constexpr const char* kDefaultsKeyPath = "HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro";

// A value that exists but is not a string value: "Invalid data type for 'name'".
class SettingsTypeError : public Error {
public:
    explicit SettingsTypeError(const std::string& name);
};

// A value that could not be written: "Failed to set data for 'name'".
class SettingsWriteError : public Error {
public:
    explicit SettingsWriteError(const std::string& name);
};

// $XDG_CONFIG_HOME/dorvane/fennimorpro.reg, with ~/.config when XDG_CONFIG_HOME is unset or
// empty.
std::string DefaultSettingsPath();

// A text value to write: its name and its text.
using SettingsText = std::pair<std::string, std::string>;

// The per-user defaults key HKEY_CURRENT_USER\SOFTWARE\dorvane\fennimorpro, kept in a registry
// export file that every write replaces whole under a lock, so that two running copies never
// lose each other's values. Reads are served from what the last Open or write found.
class SettingsStore {
public:
    explicit SettingsStore(std::string path = DefaultSettingsPath(), WriteStepHook* hook = nullptr);

    // Reads the key, creating the file with an empty key when it or the key is missing. A file
    // that cannot be parsed is first moved aside and a notice kept (see TakeNotice). Throws
    // std::system_error when the key can neither be read nor created.
    void Open();

    bool ValueExists(const std::string& name) const;
    // The text of a string value; empty when there is no such value. Throws SettingsTypeError
    // when the value has another type.
    std::string ReadString(const std::string& name) const;

    // Writes string values in order as one replacement of the file, each replacing any value
    // of its name. A name holding a line break or NUL cannot be written: the values before it
    // are written, then SettingsWriteError names it. When the file cannot be replaced nothing
    // is written and SettingsWriteError names the first value.
    void WriteStrings(const std::vector<SettingsText>& values);
    void WriteString(const std::string& name, const std::string& text);

    // The values of the key as last read, in file order.
    const std::vector<RegistryValue>& values() const { return key_.values; }
    const std::string& path() const { return path_; }

    // The message telling where a damaged file was moved, once; nullopt afterwards.
    std::optional<std::string> TakeNotice();

private:
    // Runs one change of the file and takes what it found, the notice included.
    void Change(const std::function<bool(RegistryFile&)>& change);
    void KeepNotice(const SettingsChange& change);

    std::string path_;
    WriteStepHook* hook_;
    RegistryKey key_;
    std::optional<std::string> notice_;
};

// The defaults key of a registry file (nullptr when the file has none).
const RegistryKey* FindDefaultsKey(const RegistryFile& file);

}  // namespace quorlix
