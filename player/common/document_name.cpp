#include "common/document_name.h"

#include <algorithm>
#include <array>

namespace quorlix {

namespace {

constexpr std::size_t kMaxKeptExtension = 16;
constexpr char16_t kFallbackStem[] = u"document";

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsRefused(char16_t c) {
    return c < 0x20 || c == 0x7F || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
           c == '>' || c == '|';
}

// Replaces refused characters and unpaired surrogates with '_'.
std::u16string ReplaceRefused(std::u16string_view name) {
    std::u16string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool pairedHigh =
            IsHighSurrogate(out[i]) && i + 1 < out.size() && IsLowSurrogate(out[i + 1]);
        if (pairedHigh) {
            ++i;
        } else if (IsRefused(out[i]) || IsHighSurrogate(out[i]) || IsLowSurrogate(out[i])) {
            out[i] = u'_';
        }
    }
    return out;
}

std::u16string_view Trim(std::u16string_view name) {
    while (!name.empty() && name.front() == u' ') {
        name.remove_prefix(1);
    }
    while (!name.empty() && (name.back() == u' ' || name.back() == u'.')) {
        name.remove_suffix(1);
    }
    return name;
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, alone or before an extension.
bool IsDeviceName(std::u16string_view name) {
    std::u16string base(name.substr(0, name.find(u'.')));
    std::ranges::transform(base, base.begin(), [](char16_t c) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    });
    static constexpr std::array<std::u16string_view, 4> kThree = {u"CON", u"PRN", u"AUX", u"NUL"};
    if (std::ranges::find(kThree, base) != kThree.end()) {
        return true;
    }
    return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) &&
           base[3] >= u'1' && base[3] <= u'9';
}

// The position of the extension's dot, or npos when the name has no extension.
std::size_t ExtensionDot(std::u16string_view name) {
    return name.rfind(u'.');
}

// Cuts `text` to at most `count` units without splitting a surrogate pair.
std::u16string_view CutUnits(std::u16string_view text, std::size_t count) {
    if (text.size() <= count) {
        return text;
    }
    if (count > 0 && IsHighSurrogate(text[count - 1])) {
        --count;
    }
    return text.substr(0, count);
}

std::u16string LimitLength(std::u16string name) {
    if (name.size() <= kMaxDocumentNameLength) {
        return name;
    }
    const std::size_t dot = ExtensionDot(name);
    std::u16string extension;
    if (dot != std::u16string::npos && name.size() - dot <= kMaxKeptExtension) {
        extension = name.substr(dot);
    }
    const std::u16string_view stem =
        CutUnits(std::u16string_view(name).substr(0, name.size() - extension.size()),
                 kMaxDocumentNameLength - extension.size());
    return std::u16string(Trim(stem)) + extension;
}

std::u16string ReplaceExtension(std::u16string_view name, std::u16string_view extension) {
    const std::size_t dot = ExtensionDot(name);
    std::u16string stem(dot == std::u16string_view::npos ? name : name.substr(0, dot));
    return LimitLength(std::u16string(Trim(stem.empty() ? kFallbackStem : stem)) +
                       std::u16string(extension));
}

}  // namespace

std::u16string SafeFileName(std::u16string_view label) {
    const std::size_t slash = label.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) {
        label.remove_prefix(slash + 1);
    }
    std::u16string name(Trim(ReplaceRefused(label)));
    if (name.empty()) {
        return name;
    }
    if (IsDeviceName(name)) {
        name.insert(name.begin(), u'_');
    }
    return LimitLength(std::move(name));
}

std::u16string ExtensionFromContent(std::span<const std::uint8_t> data) {
    static constexpr std::array<std::uint8_t, 4> kZip = {'P', 'K', 3, 4};
    static constexpr std::array<std::uint8_t, 8> kCompound = {0xD0, 0xCF, 0x11, 0xE0,
                                                              0xA1, 0xB1, 0x1A, 0xE1};
    if (data.size() >= kZip.size() && std::ranges::equal(data.first(kZip.size()), kZip)) {
        return u".docx";
    }
    if (data.size() >= kCompound.size() &&
        std::ranges::equal(data.first(kCompound.size()), kCompound)) {
        return u".doc";
    }
    return {};
}

std::u16string DocumentFileName(const EmbeddedDocument& document, std::u16string_view ansiLabel) {
    using Kind = EmbeddedDocument::Kind;
    std::u16string name = SafeFileName(document.unicodeName);
    if (name.empty()) {
        name = SafeFileName(ansiLabel);
    }
    if (document.kind == Kind::WordPackage) {
        return ReplaceExtension(name, u".docx");
    }
    if (document.kind == Kind::WordStorage) {
        return ReplaceExtension(name, u".doc");
    }
    const std::u16string sniffed = ExtensionFromContent(document.data);
    if (name.empty()) {
        return std::u16string(kFallbackStem) + (sniffed.empty() ? u".doc" : sniffed);
    }
    if (ExtensionDot(name) == std::u16string::npos) {
        return LimitLength(name + sniffed);
    }
    return name;
}

}  // namespace quorlix
