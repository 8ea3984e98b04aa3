#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "package/pe_resource_reader.h"
#include "package/resource_name.h"

namespace quorlix {

// The largest icon file ReplaceMainIcon takes.
inline constexpr std::uint64_t kMaxIconFileSize = 1048576;

// Replaces the executable's MAINICON group and its images by the images of an icon file. Every
// failure throws quorlix::Error "Resource update error: ..." (or std::system_error when the icon
// file cannot be opened or read) and leaves the file as it was.
void ReplaceMainIcon(const std::string& exePath, const std::string& iconPath);

// True when the bytes hold an icon directory whose images all lie within them.
bool ValidateIconFile(const std::uint8_t* bytes, std::size_t count);

// The language of the first instance of a resource in the module's table; 0 when there is none.
std::uint16_t FirstResourceLanguage(const PeResourceReader& module, const ResourceName& type,
                                    const ResourceName& name);

}  // namespace quorlix
