#include "cli/option_line_fields.h"

#include <algorithm>

#include "common/player_options.h"

namespace quorlix {

namespace {

using Names = std::vector<std::string>;

const Names kWinoptions = {"opfiletitle", "opwidth",    "opheigh",    "opmax", "opifweb", "opweb",
                           "opnoresi",    "ophidetool", "opcomm",     "",      "",        "opright",
                           "opcopy",      "opmacrob",   "opmacrobme", "opsave"};
const Names kWinsetbrower = {"", "showfirstimage", "showsecondimage"};
const Names kTextWatermark = {
    "watertype",           "waterweb",        "watertext",        "waterleft1",    "watertop1",
    "watereverysecond",    "wateredissecond", "waterstringtrans", "waterfont",     "watercolor",
    "waterstringposition", "waterhasdis",     "waterstringhr",    "waterstringver"};
const Names kImageWatermark = {"watertype", "waterweb", "waterleft2", "watertop2",
                               "waterimagetrans"};

// The six lines of a logo image file, for "first" or "second".
Names LogoLines(const std::string& which) {
    return {which + "image", which + "trans1", which + "click",
            which + "sec",   which + "click",  which + "trans2"};
}

// The layout of a file, or none; the font files hold a flag, then one font a line.
Names Layout(std::string_view name, const std::vector<std::string>& lines) {
    const auto is = [&](std::string_view file) { return EqualsIgnoringCase(name, file); };
    if (is("winoptions.dll")) {
        return kWinoptions;
    }
    if (is("winsetbrower.dll")) {
        return kWinsetbrower;
    }
    if (is("wateroptions.dll")) {
        const std::string type = lines.empty() ? "" : lines.front();
        return type == "1" ? kTextWatermark : type == "2" ? kImageWatermark : Names{"watertype"};
    }
    if (is("trmack1.dll") || is("trmack2.dll")) {
        return LogoLines(is("trmack1.dll") ? "first" : "second");
    }
    if (is("trmacke1.dll") || is("trmacke2.dll")) {
        Names fields(std::max<std::size_t>(lines.size(), 1), "embedfontlist");
        fields.front() = "embedfonts";
        return fields;
    }
    return {};
}

}  // namespace

std::vector<std::string> OptionLineFields(std::string_view fileName,
                                          const std::vector<std::string>& lines) {
    Names fields = Layout(fileName, lines);
    fields.resize(lines.size());
    return fields;
}

}  // namespace quorlix
