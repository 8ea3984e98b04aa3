#include "package/resource_name.h"

namespace quorlix {

char16_t UpperCaseUtf16(char16_t unit) {
    const auto shifted = [unit](int delta) { return static_cast<char16_t>(unit - delta); };
    if (unit >= u'a' && unit <= u'z') {
        return shifted(0x20);
    }
    if ((unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) || (unit >= 0x3B1 && unit <= 0x3CB)) {
        return unit == 0x3C2 ? char16_t{0x3A3} : shifted(0x20);
    }
    if (unit == 0xFF) {
        return 0x178;
    }
    if (unit >= 0x430 && unit <= 0x44F) {
        return shifted(0x20);
    }
    if (unit >= 0x450 && unit <= 0x45F) {
        return shifted(0x50);
    }
    return unit;
}

ResourceName ResourceName::Id(std::uint16_t id) {
    ResourceName result;
    result.id_ = id;
    return result;
}

ResourceName ResourceName::Named(std::u16string_view name) {
    ResourceName result;
    result.isId_ = false;
    result.name_.reserve(name.size());
    for (const char16_t unit : name) {
        result.name_.push_back(UpperCaseUtf16(unit));
    }
    return result;
}

ResourceName ResourceName::Named(std::string_view ascii) {
    std::u16string units;
    for (const char c : ascii) {
        units.push_back(static_cast<unsigned char>(c));
    }
    return Named(units);
}

std::string ResourceName::Text() const {
    if (isId_) {
        return "#" + std::to_string(id_);
    }
    std::string text;
    for (const char16_t unit : name_) {
        text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
}

std::strong_ordering operator<=>(const ResourceName& a, const ResourceName& b) {
    if (a.isId_ != b.isId_) {
        return a.isId_ ? std::strong_ordering::greater : std::strong_ordering::less;
    }
    if (a.isId_) {
        return a.id_ <=> b.id_;
    }
    return a.name_ <=> b.name_;
}

}  // namespace quorlix
