#include "conversion/option_fields.h"

#include <algorithm>
#include <array>
#include <variant>

#include "conversion/font_text.h"
#include "platform/error.h"

namespace quorlix {

namespace {

enum class Kind { Flag, Text, Number, Choice, Path, Percent, Colour, Font, FontList };

using Member = std::variant<bool OptionSet::*, std::string OptionSet::*, int OptionSet::*,
                            std::uint32_t OptionSet::*, FontSpec OptionSet::*,
                            std::vector<FontEntry> OptionSet::*>;

struct Field {
    std::string_view name;
    Kind kind;
    Member member;
    int choices = 0;               // number of entries of a choice's list
    std::string_view labels = {};  // what each choice means, in index order
};

using O = OptionSet;

const std::array kFields{
    Field{"opfilename", Kind::Flag, &O::opfilename},
    Field{"opfiletitle", Kind::Text, &O::opfiletitle},
    Field{"opwidth", Kind::Number, &O::opwidth},
    Field{"opheigh", Kind::Number, &O::opheigh},
    Field{"opmax", Kind::Flag, &O::opmax},
    Field{"opifweb", Kind::Flag, &O::opifweb},
    Field{"opweb", Kind::Text, &O::opweb},
    Field{"opnoresi", Kind::Flag, &O::opnoresi},
    Field{"ophidetool", Kind::Flag, &O::ophidetool},
    Field{"opcomm", Kind::Choice, &O::opcomm, 5, "Word 2000, XP, 2003, 2007, 2010 or above"},
    Field{"opright", Kind::Flag, &O::opright},
    Field{"opcopy", Kind::Flag, &O::opcopy},
    Field{"opmacrob", Kind::Choice, &O::opmacrob, 3,
          "no matter, exit if enabled, exit if disabled"},
    Field{"opmacrobme", Kind::Text, &O::opmacrobme},
    Field{"opsave", Kind::Flag, &O::opsave},
    Field{"autorun", Kind::Flag, &O::autorun},
    Field{"changeicon", Kind::Flag, &O::changeicon},
    Field{"iconfilename", Kind::Path, &O::iconfilename},
    Field{"showfirstimage", Kind::Flag, &O::showfirstimage},
    Field{"firstimage", Kind::Path, &O::firstimage},
    Field{"firsttrans1", Kind::Flag, &O::firsttrans1},
    Field{"firsttrans2", Kind::Flag, &O::firsttrans2},
    Field{"firstclick", Kind::Choice, &O::firstclick, 2, "auto close, close on mouse click"},
    Field{"firstsec", Kind::Number, &O::firstsec},
    Field{"showsecondimage", Kind::Flag, &O::showsecondimage},
    Field{"secondimage", Kind::Path, &O::secondimage},
    Field{"secondtrans1", Kind::Flag, &O::secondtrans1},
    Field{"secondtrans2", Kind::Flag, &O::secondtrans2},
    Field{"secondclick", Kind::Choice, &O::secondclick, 2, "auto close, close on mouse click"},
    Field{"secondsec", Kind::Number, &O::secondsec},
    Field{"watertype", Kind::Choice, &O::watertype, 3, "none, text, image"},
    Field{"waterweb", Kind::Text, &O::waterweb},
    Field{"watertext", Kind::Text, &O::watertext},
    Field{"waterleft1", Kind::Number, &O::waterleft1},
    Field{"watertop1", Kind::Number, &O::watertop1},
    Field{"watereverysecond", Kind::Number, &O::watereverysecond},
    Field{"wateredissecond", Kind::Number, &O::wateredissecond},
    Field{"waterstringtrans", Kind::Flag, &O::waterstringtrans},
    Field{"waterfont", Kind::Font, &O::waterfont},
    Field{"watercolor", Kind::Colour, &O::watercolor},
    Field{"waterstringposition", Kind::Choice, &O::waterstringposition, 3,
          "custom, relative, random"},
    Field{"waterhasdis", Kind::Flag, &O::waterhasdis},
    Field{"waterstringhr", Kind::Choice, &O::waterstringhr, 3, "left, center, right"},
    Field{"waterstringver", Kind::Choice, &O::waterstringver, 3, "top, center, bottom"},
    Field{"waterimagefile", Kind::Path, &O::waterimagefile},
    Field{"waterleft2", Kind::Number, &O::waterleft2},
    Field{"watertop2", Kind::Number, &O::watertop2},
    Field{"waterimagetrans", Kind::Percent, &O::waterimagetrans},
    Field{"embedfonts", Kind::Flag, &O::embedfonts},
    Field{"embedfontlist", Kind::FontList, &O::embedfontlist},
};

const Field& FindField(std::string_view name) {
    for (const Field& field : kFields) {
        if (field.name == name) {
            return field;
        }
    }
    throw Error("Unknown option field \"" + std::string(name) + "\"");
}

[[noreturn]] void Refuse(const Field& field, std::string_view value, const std::string& why) {
    throw Error("Option field \"" + std::string(field.name) + "\" cannot hold \"" +
                std::string(value) + "\": " + why);
}

bool AllDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// A decimal number from 0 to limit, or -1.
int SmallNumber(std::string_view text, int limit) {
    if (!AllDigits(text) || text.size() > 4) {
        return -1;
    }
    const int value = std::stoi(std::string(text));
    return value <= limit ? value : -1;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

std::uint32_t ParseColour(const Field& field, std::string_view value) {
    if (value.size() != 8 || value.find_first_not_of("0123456789ABCDEFabcdef") != value.npos) {
        Refuse(field, value, "expected 8 hexadecimal digits");
    }
    return static_cast<std::uint32_t>(std::stoul(std::string(value), nullptr, 16));
}

FontSpec ParseFont(const Field& field, std::string_view value, FontSpec font) {
    if (HasLineBreak(value)) {
        Refuse(field, value, "line breaks are not allowed");
    }
    try {
        TextToFont(value, font);
    } catch (const Error& error) {
        Refuse(field, value, error.what());
    }
    return font;
}

std::vector<FontEntry> ParseFontList(const Field& field, std::string_view value) {
    if (HasLineBreak(value)) {
        Refuse(field, value, "line breaks are not allowed");
    }
    std::vector<FontEntry> list;
    while (!value.empty()) {
        const std::size_t end = std::min(value.find(';'), value.size());
        const std::string_view row = value.substr(0, end);
        const std::size_t equals = row.find('=');
        if (equals == row.npos || equals == 0 || equals + 1 == row.size()) {
            Refuse(field, value, "expected rows \"display name=file entry\" joined by \";\"");
        }
        list.push_back({std::string(row.substr(0, equals)), std::string(row.substr(equals + 1))});
        value.remove_prefix(std::min(end + 1, value.size()));
    }
    return list;
}

void SetFlag(const Field& field, bool& target, std::string_view value) {
    if (value != "1" && value != "0") {
        Refuse(field, value, "expected 1 or 0");
    }
    target = value == "1";
}

void SetText(const Field& field, std::string& target, std::string_view value) {
    if (field.kind == Kind::Number && !AllDigits(value)) {
        Refuse(field, value, "expected decimal digits");
    }
    if (HasLineBreak(value)) {
        Refuse(field, value, "line breaks are not allowed");
    }
    target = std::string(value);
}

void SetIndex(const Field& field, int& target, std::string_view value) {
    const int limit = field.kind == Kind::Percent ? 100 : field.choices - 1;
    const int number = SmallNumber(value, limit);
    if (number < 0) {
        Refuse(field, value, "expected a number from 0 to " + std::to_string(limit));
    }
    target = number;
}

std::string_view KindName(Kind kind) {
    constexpr std::array<std::string_view, 9> kNames{
        "flag", "text", "number", "choice", "path", "percent", "colour", "font", "font list"};
    return kNames[static_cast<std::size_t>(kind)];
}

// "0 = none, 1 = text, 2 = image" from the choice's labels.
std::string ChoiceValues(const Field& field) {
    std::string text;
    std::string_view labels = field.labels;
    for (int index = 0; index < field.choices; ++index) {
        const std::size_t end = std::min(labels.find(", "), labels.size());
        text += (index == 0 ? "" : ", ") + std::to_string(index) + " = " +
                std::string(labels.substr(0, end));
        labels.remove_prefix(std::min(end + 2, labels.size()));
    }
    return text;
}

std::string AllowedValues(const Field& field) {
    switch (field.kind) {
        case Kind::Flag:
            return "1 or 0";
        case Kind::Text:
            return "any text without line breaks";
        case Kind::Number:
            return "decimal digits";
        case Kind::Choice:
            return ChoiceValues(field);
        case Kind::Path:
            return "a file path (a missing file counts as none)";
        case Kind::Percent:
            return "0 to 100";
        case Kind::Colour:
            return "8 hexadecimal digits";
        case Kind::Font:
            return "font text: hexadecimal colour, height, size, ppi, pitch, charset, style, name "
                   "length, then the face name";
        case Kind::FontList:
            return "rows \"display name=file entry\" joined by \";\"";
    }
    return {};
}

std::string FontListText(const std::vector<FontEntry>& list) {
    std::string text;
    for (const FontEntry& entry : list) {
        text += (text.empty() ? "" : ";") + entry.displayName + "=" + entry.fileEntry;
    }
    return text;
}

}  // namespace

const std::vector<std::string>& OptionFieldNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Field& field : kFields) {
            list.emplace_back(field.name);
        }
        return list;
    }();
    return names;
}

std::vector<OptionFieldDescription> OptionFieldDescriptions() {
    const OptionSet initial;
    std::vector<OptionFieldDescription> list;
    for (const Field& field : kFields) {
        list.push_back({std::string(field.name), std::string(KindName(field.kind)),
                        AllowedValues(field), OptionFieldText(initial, field.name)});
    }
    return list;
}

void SetOptionField(OptionSet& options, std::string_view name, std::string_view value) {
    const Field& field = FindField(name);
    if (auto flag = std::get_if<bool O::*>(&field.member)) {
        SetFlag(field, options.**flag, value);
    } else if (auto text = std::get_if<std::string O::*>(&field.member)) {
        SetText(field, options.**text, value);
    } else if (auto index = std::get_if<int O::*>(&field.member)) {
        SetIndex(field, options.**index, value);
    } else if (auto colour = std::get_if<std::uint32_t O::*>(&field.member)) {
        options.** colour = ParseColour(field, value);
    } else if (auto font = std::get_if<FontSpec O::*>(&field.member)) {
        options.** font = ParseFont(field, value, options.**font);
    } else if (auto list = std::get_if<std::vector<FontEntry> O::*>(&field.member)) {
        options.** list = ParseFontList(field, value);
    }
}

std::string OptionFieldText(const OptionSet& options, std::string_view name) {
    const Field& field = FindField(name);
    if (auto flag = std::get_if<bool O::*>(&field.member)) {
        return options.**flag ? "1" : "0";
    }
    if (auto text = std::get_if<std::string O::*>(&field.member)) {
        return options.**text;
    }
    if (auto index = std::get_if<int O::*>(&field.member)) {
        return std::to_string(options.**index);
    }
    if (auto colour = std::get_if<std::uint32_t O::*>(&field.member)) {
        return ColourToText(options.**colour);
    }
    if (auto font = std::get_if<FontSpec O::*>(&field.member)) {
        return FontToText(options.**font);
    }
    return FontListText(options.*std::get<std::vector<FontEntry> O::*>(field.member));
}

}  // namespace quorlix
