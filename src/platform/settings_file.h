#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/registry_text.h"
#include "platform/write_step_hook.h"

namespace quorlix {

// The defaults file as found on disk.
struct SettingsFileState {
    enum class Kind { Missing, Parsed, Damaged };
    Kind kind = Kind::Missing;
    RegistryFile file;   // when parsed
    std::string damage;  // when damaged: why it cannot be read ("line 3: ...")
};

// Reads and parses the defaults file without taking its lock (a change replaces it whole).
// Throws std::system_error when it is there but cannot be read.
SettingsFileState ReadSettingsFile(const std::string& path, WriteStepHook* hook = nullptr);

// What one change of the defaults file did.
struct SettingsChange {
    RegistryFile file;          // the file's content afterwards
    std::string keptAsidePath;  // where a damaged file was moved, empty when none was
    std::string damage;         // why that file could not be read
};

// Changes the defaults file as one transaction that no other change interleaves with: creates
// its folder, takes the exclusive lock on path + ".lock", re-reads the file, moves a damaged
// one aside under a new name, lets change edit the content (it returns false when it changed
// nothing), then writes path + ".tmp", fsyncs it, renames it over path and fsyncs the folder.
// A missing or damaged file is always written. result.keptAsidePath is set as soon as a damaged
// file has been moved, so it is known even when a later step fails. Throws std::system_error
// when a step fails; the file then holds its old content (or, once moved aside, is missing).
void ChangeSettingsFile(const std::string& path, const std::function<bool(RegistryFile&)>& change,
                        SettingsChange& result, WriteStepHook* hook = nullptr);

}  // namespace quorlix
