#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorlix {

inline constexpr std::uint16_t kResourceTypeIcon = 3;        // RT_ICON
inline constexpr std::uint16_t kResourceTypeGroupIcon = 14;  // RT_GROUP_ICON
inline constexpr std::uint16_t kLanguageEnglishUs = 1033;

// Upper-cases one UTF-16 unit as Windows does for ASCII, Latin-1, Greek and Cyrillic letters.
char16_t UpperCaseUtf16(char16_t unit);

// A resource type or name as Windows keys it: a 16-bit id, or a name compared in upper case.
// Ordered as a resource table must be: names first (by upper-cased UTF-16 units), then ids.
class ResourceName {
public:
    static ResourceName Id(std::uint16_t id);
    static ResourceName Named(std::u16string_view name);
    // A name given as ASCII text, such as "MAINICON".
    static ResourceName Named(std::string_view ascii);

    bool isId() const { return isId_; }
    std::uint16_t id() const { return id_; }
    // The name, upper-cased; empty for an id.
    const std::u16string& name() const { return name_; }
    // "#14" for an id, the name as ASCII (other units as '?') otherwise.
    std::string Text() const;

    friend bool operator==(const ResourceName&, const ResourceName&) = default;
    friend std::strong_ordering operator<=>(const ResourceName& a, const ResourceName& b);

private:
    bool isId_ = true;
    std::uint16_t id_ = 0;
    std::u16string name_;
};

}  // namespace quorlix
