#include "conversion/option_files.h"

#include "conversion/font_text.h"
#include "conversion/output_naming.h"
#include "conversion/travelling_names.h"
#include "package/package_writer.h"
#include "platform/file_system.h"

namespace quorlix {

namespace {

using Lines = std::vector<std::string>;

std::string Flag(bool value) {
    return value ? "1" : "0";
}
// Flags of winoptions.dll.
std::string Flag12(bool value) {
    return value ? "1" : "2";
}

// Word version for the opcomm index; an index outside the list counts as the first entry.
std::string WordVersion(int opcomm) {
    static const char* const versions[] = {"9", "10", "11", "12", "14"};
    return opcomm >= 0 && opcomm < 5 ? versions[opcomm] : versions[0];
}

// Macro handling for the opmacrob index; an index outside the list counts as the first entry.
std::string MacroHandling(int opmacrob) {
    return opmacrob >= 0 && opmacrob < 3 ? std::to_string(opmacrob + 1) : "1";
}

// Position kind of a text watermark; one outside the list counts as custom position.
std::string StringPosition(int position) {
    return position >= 0 && position < 3 ? std::to_string(position) : "0";
}

bool IsBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

std::string TrimBlanksAndControls(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlankOrControl(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

Lines ImageLines(const std::string& entryName, bool transAppear, int click,
                 const std::string& seconds, bool transDisappear) {
    return {entryName, Flag(transAppear), Flag(click == 0),
            seconds,   Flag(click == 1),  Flag(transDisappear)};
}

}  // namespace

std::string OptionEntryName(std::string_view fileName) {
    return "option\\" + std::string(fileName);
}

std::string FirstImageEntryName(const OptionSet& options) {
    return "option\\1" + TravellingExtension("option\\1", ExtensionOf(options.firstimage));
}

std::string SecondImageEntryName(const OptionSet& options) {
    return "option\\2" + TravellingExtension("option\\2", ExtensionOf(options.secondimage));
}

std::vector<std::string> FontEntryFiles(const FontEntry& entry) {
    if (entry.fileEntry.find('|') == std::string::npos) {
        return {entry.fileEntry};
    }
    return {TextBefore(entry.fileEntry, "|"), TextAfter(entry.fileEntry, "|")};
}

Lines WinsetbrowerLines(const OptionSet& options, const std::string& sourcePath,
                        bool firstImageExists, bool secondImageExists) {
    return {"~~~~~" + ExtensionOf(sourcePath), Flag(options.showfirstimage && firstImageExists),
            Flag(options.showsecondimage && secondImageExists)};
}

Lines WateroptionsLines(const OptionSet& options, bool waterImageExists) {
    const OptionSet& o = options;
    if (o.watertype == 1) {
        return {"1",
                o.waterweb,
                o.watertext,
                o.waterleft1,
                o.watertop1,
                o.watereverysecond,
                o.wateredissecond,
                Flag(o.waterstringtrans),
                FontToText(o.waterfont),
                ColourToText(o.watercolor),
                StringPosition(o.waterstringposition),
                Flag(o.waterhasdis),
                std::to_string(o.waterstringhr),
                std::to_string(o.waterstringver)};
    }
    if (o.watertype == 2 && waterImageExists) {
        return {"2", o.waterweb, o.waterleft2, o.watertop2, std::to_string(o.waterimagetrans)};
    }
    return {"0"};
}

Lines WinoptionsLines(const OptionSet& options, const std::string& documentPath) {
    const OptionSet& o = options;
    const std::string title =
        o.opfilename ? BaseNameOf(documentPath) + o.opfiletitle : o.opfiletitle;
    return {title,
            o.opwidth,
            o.opheigh,
            Flag12(o.opmax),
            Flag12(o.opifweb),
            o.opweb,
            Flag12(o.opnoresi),
            Flag12(o.ophidetool),
            WordVersion(o.opcomm),
            "1",
            "1",
            Flag12(o.opright),
            Flag12(o.opcopy),
            MacroHandling(o.opmacrob),
            o.opcopy ? std::string() : TrimBlanksAndControls(o.opmacrobme),
            Flag12(o.opsave)};
}

Lines Trmack1Lines(const OptionSet& options) {
    return ImageLines(FirstImageEntryName(options), options.firsttrans1, options.firstclick,
                      options.firstsec, options.firsttrans2);
}

Lines Trmack2Lines(const OptionSet& options) {
    return ImageLines(SecondImageEntryName(options), options.secondtrans1, options.secondclick,
                      options.secondsec, options.secondtrans2);
}

Lines Trmacke1Lines(const OptionSet& options) {
    Lines lines{Flag(options.embedfonts)};
    if (options.embedfonts) {
        for (const FontEntry& entry : options.embedfontlist) {
            lines.push_back(entry.displayName);
        }
    }
    return lines;
}

Lines Trmacke2Lines(const OptionSet& options) {
    Lines lines{Flag(options.embedfonts)};
    if (options.embedfonts) {
        const std::vector<std::string> names = FontPackNames(options);
        std::size_t next = 0;
        for (const FontEntry& entry : options.embedfontlist) {
            std::string line = names[next++];
            if (FontEntryFiles(entry).size() == 2) {
                line += "|" + names[next++];
            }
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace quorlix
