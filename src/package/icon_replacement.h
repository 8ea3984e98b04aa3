#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "package/pe_resource_reader.h"
#include "package/resource_name.h"
#include "platform/error.h"

namespace quorlix {

// The largest icon file ReplaceMainIcon takes.
inline constexpr std::uint64_t kMaxIconFileSize = 1048576;

// A failed step of an icon replacement: what() is the step's own text ("Resource update error:
// [] EndUpdateResource failed"), systemText() what the system said of the cause ("No space left
// on device", or why the executable is damaged); empty when it said nothing.
class ResourceUpdateError : public Error {
public:
    ResourceUpdateError(const std::string& text, std::string systemText)
        : Error(text), systemText_(std::move(systemText)) {}
    const std::string& systemText() const { return systemText_; }

private:
    std::string systemText_;
};

// Replaces the executable's MAINICON group and its images by the images of an icon file. Every
// failure throws ResourceUpdateError "Resource update error: ..." (or std::system_error when the
// icon file cannot be opened or read) and leaves the file as it was.
void ReplaceMainIcon(const std::string& exePath, const std::string& iconPath);

// True when the bytes hold an icon directory whose images all lie within them.
bool ValidateIconFile(const std::uint8_t* bytes, std::size_t count);

// The language of the first instance of a resource in the module's table; 0 when there is none.
std::uint16_t FirstResourceLanguage(const PeResourceReader& module, const ResourceName& type,
                                    const ResourceName& name);

}  // namespace quorlix
