#include "platform/settings_store.h"

#include <cstdlib>
#include <system_error>

namespace quorlix {

namespace {

RegistryKey& DefaultsKeyOf(RegistryFile& file) {
    for (RegistryKey& key : file.keys) {
        if (SameRegistryName(key.path, kDefaultsKeyPath)) {
            return key;
        }
    }
    return file.keys.emplace_back(RegistryKey{kDefaultsKeyPath, {}});
}

const RegistryValue* FindValue(const RegistryKey& key, const std::string& name) {
    for (const RegistryValue& value : key.values) {
        if (SameRegistryName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void SetString(RegistryKey& key, const SettingsText& text) {
    for (RegistryValue& value : key.values) {
        if (SameRegistryName(value.name, text.first)) {
            value.type = kRegString;
            value.data = text.second;
            return;
        }
    }
    key.values.push_back({text.first, kRegString, text.second});
}

bool CanName(const std::string& name) {
    return name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

}  // namespace

SettingsTypeError::SettingsTypeError(const std::string& name)
    : Error("Invalid data type for '" + name + "'") {}

SettingsWriteError::SettingsWriteError(const std::string& name)
    : Error("Failed to set data for '" + name + "'") {}

std::string DefaultSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && *config != '\0') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return folder + "/dorvane/fennimorpro.reg";
}

const RegistryKey* FindDefaultsKey(const RegistryFile& file) {
    for (const RegistryKey& key : file.keys) {
        if (SameRegistryName(key.path, kDefaultsKeyPath)) {
            return &key;
        }
    }
    return nullptr;
}

SettingsStore::SettingsStore(std::string path, WriteStepHook* hook)
    : path_(std::move(path)), hook_(hook) {}

void SettingsStore::Open() {
    const SettingsFileState state = ReadSettingsFile(path_);
    if (state.kind == SettingsFileState::Kind::Parsed) {
        if (const RegistryKey* key = FindDefaultsKey(state.file)) {
            key_ = *key;
            return;
        }
    }
    Change([](RegistryFile& file) {
        const std::size_t before = file.keys.size();
        DefaultsKeyOf(file);
        return file.keys.size() != before;
    });
}

bool SettingsStore::ValueExists(const std::string& name) const {
    return FindValue(key_, name) != nullptr;
}

std::string SettingsStore::ReadString(const std::string& name) const {
    const RegistryValue* value = FindValue(key_, name);
    if (value == nullptr) {
        return {};
    }
    if (value->type != kRegString) {
        throw SettingsTypeError(name);
    }
    return value->data;
}

void SettingsStore::WriteStrings(const std::vector<SettingsText>& values) {
    std::size_t writable = 0;
    while (writable < values.size() && CanName(values[writable].first)) {
        ++writable;
    }
    if (writable > 0) {
        try {
            Change([&](RegistryFile& file) {
                RegistryKey& key = DefaultsKeyOf(file);
                for (std::size_t i = 0; i < writable; ++i) {
                    SetString(key, values[i]);
                }
                return true;
            });
        } catch (const std::system_error&) {
            throw SettingsWriteError(values.front().first);
        }
    }
    if (writable < values.size()) {
        throw SettingsWriteError(values[writable].first);
    }
}

void SettingsStore::WriteString(const std::string& name, const std::string& text) {
    WriteStrings({{name, text}});
}

std::optional<std::string> SettingsStore::TakeNotice() {
    return std::exchange(notice_, std::nullopt);
}

void SettingsStore::Change(const std::function<bool(RegistryFile&)>& change) {
    SettingsChange result;
    try {
        ChangeSettingsFile(path_, change, result, hook_);
    } catch (...) {
        KeepNotice(result);
        throw;
    }
    KeepNotice(result);
    key_ = DefaultsKeyOf(result.file);
}

void SettingsStore::KeepNotice(const SettingsChange& change) {
    if (!change.keptAsidePath.empty()) {
        notice_ = "The defaults file " + path_ + " could not be read (" + change.damage +
                  "). It was kept as " + change.keptAsidePath +
                  " and new defaults are saved in its place.";
    }
}

}  // namespace quorlix
