#include "package/icon_replacement.h"

#include <cerrno>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

#include "common/byte_order.h"
#include "package/pe_format_error.h"
#include "package/resource_update.h"
#include "platform/error.h"
#include "platform/file.h"

namespace quorlix {

namespace {

constexpr std::size_t kIconHeaderSize = 6;
constexpr std::size_t kIconEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
// Windows' ERROR_RESOURCE_TYPE_NOT_FOUND and ERROR_RESOURCE_NAME_NOT_FOUND.
constexpr int kResourceTypeNotFound = 1813;
constexpr int kResourceNameNotFound = 1814;

const ResourceName kMainIcon = ResourceName::Named("MAINICON");
const ResourceName kGroupIconType = ResourceName::Id(kResourceTypeGroupIcon);
const ResourceName kIconType = ResourceName::Id(kResourceTypeIcon);

[[noreturn]] void Fail(const std::string& text, const std::string& systemText = {}) {
    throw ResourceUpdateError("Resource update error: " + text, systemText);
}

[[noreturn]] void Fail(const std::string& text, int code, const std::string& systemText = {}) {
    Fail(text + "(" + std::to_string(code) + ")", systemText);
}

// Runs one step of the update; a failure becomes the step's message with its error code, and
// the system's text for it.
template <typename Action>
auto RunStep(const std::string& text, Action&& action) -> decltype(action()) {
    int code = 0;
    std::string systemText;
    try {
        return action();
    } catch (const std::system_error& e) {
        code = e.code().value();
        systemText = e.code().message();
    } catch (const PeFormatError& e) {
        code = kBadExeFormatCode;
        systemText = e.what();
    } catch (const std::bad_alloc&) {
        code = ENOMEM;
        systemText = std::generic_category().message(ENOMEM);
    }
    Fail(text, code, systemText);
}

std::vector<std::uint8_t> ReadIconFile(const std::string& iconPath) {
    File file = File::Open(iconPath, File::Mode::Read);
    const std::uint64_t size = file.Size();
    if (size > kMaxIconFileSize) {
        Fail("[IUPDATE] Icon file is too large");
    }
    std::vector<std::uint8_t> bytes(size);
    file.ReadExactly(bytes.data(), bytes.size());
    file.Close();
    return bytes;
}

// The group resource for the icon file's images, with the old group's reserved and type words.
std::vector<std::uint8_t> BuildGroup(std::span<const std::uint8_t> oldGroup,
                                     const std::vector<std::uint8_t>& icon) {
    const std::uint16_t count = GetLE16(icon.data() + 4);
    std::vector<std::uint8_t> group(kIconHeaderSize + kGroupEntrySize * count);
    std::copy(oldGroup.begin(), oldGroup.begin() + 4, group.begin());
    SetLE16(group.data() + 4, count);
    for (std::uint16_t j = 0; j < count; ++j) {
        const std::uint8_t* entry = icon.data() + kIconHeaderSize + kIconEntrySize * j;
        std::uint8_t* out = group.data() + kIconHeaderSize + kGroupEntrySize * j;
        std::copy(entry, entry + 12, out);
        SetLE16(out + 12, static_cast<std::uint16_t>(j + 1));
    }
    return group;
}

// The bytes of the module's MAINICON group (steps of finding, loading and locking it).
std::vector<std::uint8_t> ReadOldGroup(const PeResourceReader& module) {
    const ResourceEntry* found = module.Find(kGroupIconType, kMainIcon);
    if (found == nullptr) {
        Fail("[] FindResource failed (1)",
             module.HasType(kGroupIconType) ? kResourceNameNotFound : kResourceTypeNotFound);
    }
    const std::span<const std::uint8_t> data =
        RunStep("[IUPDATE] LoadResource failed (1)", [&] { return module.Data(*found); });
    // A group shorter than its own count says is damaged; its entries are never read past it.
    if (data.size() < kIconHeaderSize ||
        data.size() < kIconHeaderSize + kGroupEntrySize * std::size_t{GetLE16(data.data() + 4)}) {
        Fail("[] LockResource failed (1)", kBadExeFormatCode);
    }
    return {data.begin(), data.end()};
}

// Stages the removal of the old group and images and the addition of the new ones.
void StageNewIcon(ResourceUpdate& update, const std::string& exePath,
                  const std::vector<std::uint8_t>& icon) {
    const PeResourceReader module =
        RunStep("[] LoadLibraryEx failed (1)", [&] { return PeResourceReader::Load(exePath); });
    const std::vector<std::uint8_t> oldGroup = ReadOldGroup(module);
    RunStep("[] UpdateResource failed (1)", [&] {
        update.Delete(kGroupIconType, kMainIcon,
                      FirstResourceLanguage(module, kGroupIconType, kMainIcon));
    });
    const std::uint16_t oldCount = GetLE16(oldGroup.data() + 4);
    for (std::size_t j = 0; j < oldCount; ++j) {
        const ResourceName id =
            ResourceName::Id(GetLE16(oldGroup.data() + kIconHeaderSize + kGroupEntrySize * j + 12));
        RunStep("[] UpdateResource failed (2)", [&] {
            update.Delete(kIconType, id, FirstResourceLanguage(module, kIconType, id));
        });
    }
    const std::vector<std::uint8_t> group = BuildGroup(oldGroup, icon);
    const std::uint16_t count = GetLE16(icon.data() + 4);
    for (std::uint16_t j = 0; j < count; ++j) {
        const std::uint8_t* entry = icon.data() + kIconHeaderSize + kIconEntrySize * j;
        const std::span<const std::uint8_t> image(icon.data() + GetLE32(entry + 12),
                                                  GetLE32(entry + 8));
        RunStep("[] UpdateResource failed (3)", [&] {
            update.Add(kIconType, ResourceName::Id(static_cast<std::uint16_t>(j + 1)),
                       kLanguageEnglishUs, image);
        });
    }
    RunStep("[] UpdateResource failed (4)",
            [&] { update.Add(kGroupIconType, kMainIcon, kLanguageEnglishUs, group); });
}

}  // namespace

bool ValidateIconFile(const std::uint8_t* bytes, std::size_t count) {
    if (count < kIconHeaderSize || (bytes[0] == 'M' && bytes[1] == 'Z')) {
        return false;
    }
    const std::uint16_t images = GetLE16(bytes + 4);
    if (kIconHeaderSize + kIconEntrySize * std::size_t{images} > count) {
        return false;
    }
    for (std::size_t j = 0; j < images; ++j) {
        const std::uint8_t* entry = bytes + kIconHeaderSize + kIconEntrySize * j;
        const std::uint32_t size = GetLE32(entry + 8);
        const std::uint32_t offset = GetLE32(entry + 12);
        const std::uint32_t end = offset + size;  // modulo 2^32
        if (end < offset || end > count) {
            return false;
        }
    }
    return true;
}

std::uint16_t FirstResourceLanguage(const PeResourceReader& module, const ResourceName& type,
                                    const ResourceName& name) {
    const std::vector<std::uint16_t> languages = module.Languages(type, name);
    return languages.empty() ? 0 : languages.front();
}

void ReplaceMainIcon(const std::string& exePath, const std::string& iconPath) {
    // Every system this runs on has what the Windows NT family offers, so that check passes.
    const std::vector<std::uint8_t> icon = ReadIconFile(iconPath);
    if (!ValidateIconFile(icon.data(), icon.size())) {
        Fail("[] Icon file is invalid");
    }
    ResourceUpdate update = RunStep("[] BeginUpdateResource failed (1)",
                                    [&] { return ResourceUpdate::Begin(exePath); });
    // From here a failure drops the pending update, which discards it.
    StageNewIcon(update, exePath, icon);
    try {
        update.Commit();
    } catch (const std::system_error& e) {
        Fail("[] EndUpdateResource failed", e.code().message());
    } catch (const std::exception& e) {
        Fail("[] EndUpdateResource failed", e.what());
    }
}

}  // namespace quorlix
