#include "package/resource_update.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "package/pe_resource_reader.h"
#include "package/pe_resource_writer.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/replacement_file.h"

namespace quorlix {

ResourceUpdate ResourceUpdate::Begin(const std::string& exePath) {
    PeResourceReader reader = PeResourceReader::Load(exePath);
    ResourceTree tree;
    for (const ResourceEntry& entry : reader.entries()) {
        const std::span<const std::uint8_t> data = reader.Data(entry);
        tree[entry.type][entry.name][entry.language] =
            ResourceBlob{{data.begin(), data.end()}, entry.codePage};
    }
    const std::span<const std::uint8_t> file = reader.file();
    return ResourceUpdate(exePath, {file.begin(), file.end()}, std::move(tree));
}

void ResourceUpdate::Add(const ResourceName& type, const ResourceName& name, std::uint16_t language,
                         std::span<const std::uint8_t> data) {
    tree_[type][name][language] = ResourceBlob{{data.begin(), data.end()}, 0};
}

void ResourceUpdate::Delete(const ResourceName& type, const ResourceName& name,
                            std::uint16_t language) {
    const auto typeIt = tree_.find(type);
    if (typeIt == tree_.end()) {
        return;
    }
    const auto nameIt = typeIt->second.find(name);
    if (nameIt == typeIt->second.end()) {
        return;
    }
    nameIt->second.erase(language);
    if (nameIt->second.empty()) {
        typeIt->second.erase(nameIt);
    }
    if (typeIt->second.empty()) {
        tree_.erase(typeIt);
    }
}

void ResourceUpdate::Commit() {
    const std::vector<std::uint8_t> rewritten = RewriteResources(file_, tree_);
    ReplaceFileContents(path_, rewritten);
}

void ReplaceFileContents(const std::string& givenPath, std::span<const std::uint8_t> bytes) {
    // Through a link, the file it names is replaced and the link kept.
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::canonical(givenPath, ec);
    const std::string path = ec ? givenPath : resolved.string();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        throw std::system_error(errno, std::generic_category(), path);
    }
    ReplacementFile replacement(path, ".tmp");
    if (::fchmod(replacement.file().descriptor(), st.st_mode & 07777) != 0) {
        throw std::system_error(errno, std::generic_category(), replacement.temporaryPath());
    }
    replacement.file().WriteAll(bytes.data(), bytes.size());
    replacement.Commit(true);
}

}  // namespace quorlix
