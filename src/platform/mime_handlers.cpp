#include "platform/mime_handlers.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/file_system.h"

namespace quorlix {

namespace {

// One key file: group name, then key, then the value's entries (split at ';').
using KeyFile = std::map<std::string, std::map<std::string, std::vector<std::string>>>;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

KeyFile ReadKeyFile(const std::string& path) {
    KeyFile file;
    std::ifstream in(path);
    std::string group;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
        } else if (const auto equals = line.find('=');
                   equals != std::string::npos && line.front() != '#') {
            file[group][line.substr(0, equals)] = Split(line.substr(equals + 1), ';');
        }
    }
    return file;
}

std::string EnvironmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

// The type and every name the shared MIME database gives it ("alias canonical" lines).
std::set<std::string> NamesOf(const std::string& mimeType, const MimeAssociationFolders& folders) {
    std::set<std::string> names{mimeType};
    std::vector<std::pair<std::string, std::string>> aliases;
    for (const std::string& data : folders.data) {
        std::ifstream in(data + "/mime/aliases");
        for (std::string alias, canonical; in >> alias >> canonical;) {
            aliases.emplace_back(alias, canonical);
        }
    }
    for (int round = 0; round < 2; ++round) {
        for (const auto& [alias, canonical] : aliases) {
            if (names.contains(alias) || names.contains(canonical)) {
                names.insert(alias);
                names.insert(canonical);
            }
        }
    }
    return names;
}

// The desktop entry of that id in some applications folder ("kde-foo.desktop" may also be
// kde/foo.desktop), not hidden.
bool IsInstalled(const std::string& id, const MimeAssociationFolders& folders) {
    std::vector<std::string> relative{id};
    for (std::size_t dash = id.find('-'); dash != std::string::npos;
         dash = id.find('-', dash + 1)) {
        std::string nested = id;
        nested[dash] = '/';
        relative.push_back(nested);
    }
    for (const std::string& data : folders.data) {
        for (const std::string& name : relative) {
            const std::string path = data + "/applications/" + name;
            if (!FileExists(path)) {
                continue;
            }
            const KeyFile entry = ReadKeyFile(path);
            const auto group = entry.find("Desktop Entry");
            const bool hidden = group != entry.end() && group->second.contains("Hidden") &&
                                group->second.at("Hidden") == std::vector<std::string>{"true"};
            return !hidden;
        }
    }
    return false;
}

// Reads the association files in order of precedence; each may name an application for the
// type or remove names for the files after it.
class AssociationSearch {
public:
    AssociationSearch(const std::set<std::string>& names, const MimeAssociationFolders& folders)
        : names_(names), folders_(folders) {}

    // True when the file names an installed application that no file so far removed.
    bool Read(const std::string& path, const std::vector<const char*>& groups) {
        if (!FileExists(path)) {
            return false;
        }
        const KeyFile file = ReadKeyFile(path);
        // What a file removes holds for itself and every file after it.
        for (const std::string& id : Entries(file, "Removed Associations")) {
            removed_.insert(id);
        }
        return std::ranges::any_of(groups, [&](const char* group) { return Names(file, group); });
    }

private:
    bool Names(const KeyFile& file, const char* group) const {
        return std::ranges::any_of(Entries(file, group), [&](const std::string& id) {
            return !removed_.contains(id) && IsInstalled(id, folders_);
        });
    }

    std::vector<std::string> Entries(const KeyFile& file, const char* group) const {
        std::vector<std::string> ids;
        const auto found = file.find(group);
        if (found == file.end()) {
            return ids;
        }
        for (const std::string& name : names_) {
            if (const auto entry = found->second.find(name); entry != found->second.end()) {
                ids.insert(ids.end(), entry->second.begin(), entry->second.end());
            }
        }
        return ids;
    }

    const std::set<std::string>& names_;
    const MimeAssociationFolders& folders_;
    std::set<std::string> removed_;
};

// The mimeapps.list files of one folder: the desktops' own first.
std::vector<std::string> ListFiles(const std::string& folder,
                                   const std::vector<std::string>& desktops) {
    std::vector<std::string> files;
    for (const std::string& desktop : desktops) {
        files.push_back(folder + "/" + desktop + "-mimeapps.list");
    }
    files.push_back(folder + "/mimeapps.list");
    return files;
}

}  // namespace

MimeAssociationFolders MimeAssociationFolders::FromEnvironment() {
    const std::string home = EnvironmentOr("HOME", "");
    MimeAssociationFolders folders;
    folders.config.push_back(EnvironmentOr("XDG_CONFIG_HOME", home + "/.config"));
    for (const std::string& folder : Split(EnvironmentOr("XDG_CONFIG_DIRS", "/etc/xdg"), ':')) {
        folders.config.push_back(folder);
    }
    folders.data.push_back(EnvironmentOr("XDG_DATA_HOME", home + "/.local/share"));
    for (const std::string& folder :
         Split(EnvironmentOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':')) {
        folders.data.push_back(folder);
    }
    for (std::string desktop : Split(EnvironmentOr("XDG_CURRENT_DESKTOP", ""), ':')) {
        std::ranges::transform(desktop, desktop.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        folders.desktops.push_back(desktop);
    }
    return folders;
}

bool HasApplicationFor(const std::string& mimeType, const MimeAssociationFolders& folders) {
    const std::set<std::string> names = NamesOf(mimeType, folders);
    AssociationSearch search(names, folders);
    const std::vector<const char*> lists{"Default Applications", "Added Associations"};
    for (const std::string& config : folders.config) {
        for (const std::string& file : ListFiles(config, folders.desktops)) {
            if (search.Read(file, lists)) {
                return true;
            }
        }
    }
    for (const std::string& data : folders.data) {
        for (const std::string& file : ListFiles(data + "/applications", folders.desktops)) {
            if (search.Read(file, lists)) {
                return true;
            }
        }
        if (search.Read(data + "/applications/mimeinfo.cache", {"MIME Cache"})) {
            return true;
        }
    }
    return false;
}

}  // namespace quorlix
