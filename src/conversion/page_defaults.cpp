#include "conversion/page_defaults.h"

#include <system_error>

#include "conversion/default_rules.h"
#include "conversion/font_text.h"
#include "conversion/page_loading.h"

namespace quorlix {

namespace {

using O = OptionSet;
using T = const std::string&;

// The Watermark page writes its two check boxes as "1" checked, "2" unchecked.
std::string WaterFlagText(bool checked) {
    return checked ? "1" : "2";
}

// The first 8 characters as a hexadecimal number; other text leaves the colour alone.
void ApplyColour(std::uint32_t& colour, std::string_view text) {
    const std::string_view digits = text.substr(0, 8);
    if (digits.empty() || digits.find_first_not_of("0123456789ABCDEFabcdef") != digits.npos) {
        return;
    }
    colour = static_cast<std::uint32_t>(std::stoul(std::string(digits), nullptr, 16));
}

// Font text that does not decode is ignored; fields read before a bad one stay applied.
void ApplyFont(FontSpec& font, std::string_view text) {
    try {
        TextToFont(text, font);
    } catch (const Error&) {
    }
}

const LoadRule kGeneralLoad[] = {
    {"opfilename", [](O& o, T t) { o.opfilename = t == "1"; }},
    {"opfiletitle", [](O& o, T t) { o.opfiletitle = t; }},
    {"opwidth", [](O& o, T t) { o.opwidth = UpDownText(t, 640, 10, 32767); }},
    {"opheigh", [](O& o, T t) { o.opheigh = UpDownText(t, 480, 10, 32767); }},
    {"opmax", [](O& o, T t) { o.opmax = t == "1"; }},
    {"opnoresi", [](O& o, T t) { o.opnoresi = t == "1"; }},
    {"ophidetool", [](O& o, T t) { o.ophidetool = t == "1"; }},
    {"opcopy", [](O& o, T t) { o.opcopy = t == "1"; }},
    {"opcomm", [](O& o, T t) { o.opcomm = ListIndex(t, 5); }},
    {"opright", [](O& o, T t) { o.opright = t == "1"; }},
    {"opsave", [](O& o, T t) { o.opsave = t == "1"; }},
    {"opifweb", [](O& o, T t) { o.opifweb = t == "1"; }},
    {"opweb", [](O& o, T t) { o.opweb = t; }},
    {"opmacrobme", [](O& o, T t) { o.opmacrobme = t; }},
    {"opmacrob", [](O& o, T t) { ApplyRadioChoice(o.opmacrob, t); }},
};

const LoadRule kWatermarkLoad[] = {
    {"watertype", [](O& o, T t) { ApplyRadioChoice(o.watertype, t); }},
    {"watertext", [](O& o, T t) { o.watertext = t; }},
    {"waterleft1", [](O& o, T t) { o.waterleft1 = UpDownText(t, 0, 0, 10000); }},
    {"watertop1", [](O& o, T t) { o.watertop1 = UpDownText(t, 0, 0, 10000); }},
    {"waterimagefile", [](O& o, T t) { o.waterimagefile = t; }},
    {"waterstringtrans", [](O& o, T t) { o.waterstringtrans = t == "1"; }},
    {"waterleft2", [](O& o, T t) { o.waterleft2 = UpDownText(t, 0, 0, 32767); }},
    {"watertop2", [](O& o, T t) { o.watertop2 = UpDownText(t, 0, 0, 32767); }},
    {"waterweb", [](O& o, T t) { o.waterweb = t; }},
    {"waterfont", [](O& o, T t) { ApplyFont(o.waterfont, t); }},
    {"watercolor", [](O& o, T t) { ApplyColour(o.watercolor, t); }},
    {"watereverysecond", [](O& o, T t) { o.watereverysecond = NumberText(t, 60); }},
    {"wateredissecond", [](O& o, T t) { o.wateredissecond = NumberText(t, 5); }},
    {"waterstringposition", [](O& o, T t) { ApplyRadioChoice(o.waterstringposition, t); }},
    {"waterstringhr", [](O& o, T t) { o.waterstringhr = ListIndex(t, 3); }},
    {"waterstringver", [](O& o, T t) { o.waterstringver = ListIndex(t, 3); }},
    {"waterhasdis", [](O& o, T t) { o.waterhasdis = t == "1"; }},
    {"waterappear", [](O& o, T t) { o.watereverysecond = NumberText(t, 60); }},
    {"waterdisappear", [](O& o, T t) { o.wateredissecond = NumberText(t, 60); }},
};

}  // namespace

void SaveGeneralDefaults(SettingsStore& store, const OptionSet& o) {
    store.WriteStrings({
        {"opfilename", FlagText(o.opfilename)},
        {"opfiletitle", o.opfiletitle},
        {"opwidth", o.opwidth},
        {"opheigh", o.opheigh},
        {"opmax", FlagText(o.opmax)},
        {"opnoresi", FlagText(o.opnoresi)},
        {"ophidetool", FlagText(o.ophidetool)},
        {"opcopy", FlagText(o.opcopy)},
        {"opifweb", FlagText(o.opifweb)},
        {"opright", FlagText(o.opright)},
        {"opsave", FlagText(o.opsave)},
        {"opcomm", std::to_string(o.opcomm)},
        {"opweb", o.opweb},
        {"opmacrob", std::to_string(o.opmacrob)},
        {"opmacrobme", o.opmacrobme},
    });
}

void SaveWatermarkDefaults(SettingsStore& store, const OptionSet& o) {
    store.WriteStrings({
        {"watertype", std::to_string(o.watertype)},
        {"watertext", o.watertext},
        {"waterleft1", o.waterleft1},
        {"watertop1", o.watertop1},
        {"watereverysecond", o.watereverysecond},
        {"wateredissecond", o.wateredissecond},
        {"waterstringposition", std::to_string(o.waterstringposition)},
        {"waterstringtrans", WaterFlagText(o.waterstringtrans)},
        {"waterimagefile", o.waterimagefile},
        {"waterleft2", o.waterleft2},
        {"watertop2", o.watertop2},
        {"waterweb", o.waterweb},
        {"waterstringhr", std::to_string(o.waterstringhr)},
        {"waterstringver", std::to_string(o.waterstringver)},
        {"waterfont", FontToText(o.waterfont)},
        {"watercolor", ColourToText(o.watercolor)},
        {"waterhasdis", WaterFlagText(o.waterhasdis)},
        {"waterappear", o.watereverysecond},
        {"waterdisappear", o.wateredissecond},
    });
}

LoadReport LoadGeneralDefaults(SettingsStore& store, OptionSet& options, LoadMode mode) {
    return LoadByRules(store, options, mode, kGeneralLoad);
}

LoadReport LoadWatermarkDefaults(SettingsStore& store, OptionSet& options, LoadMode mode) {
    return LoadByRules(store, options, mode, kWatermarkLoad);
}

}  // namespace quorlix
