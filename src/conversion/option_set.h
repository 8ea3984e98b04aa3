#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/font_record.h"

namespace quorlix {

// One row of the fonts list: its display name and its font file entry (one file name or path,
// or two joined by "|").
struct FontEntry {
    std::string displayName;
    std::string fileEntry;

    bool operator==(const FontEntry&) const = default;
};

// Every option a conversion reads, one field per option. Numbers are held as typed, choices
// as 0-based indexes, paths as typed (a path whose file is missing counts as no file).
struct OptionSet {
    // The maker's web site, the default of both web address fields.
    static constexpr const char* kMakerWebAddress = "http://www.dorvane.com";

    // General presentation.
    bool opfilename = true;
    std::string opfiletitle = "-This Word document will help you";
    std::string opwidth = "640";
    std::string opheigh = "480";
    bool opmax = true;
    bool opifweb = false;
    std::string opweb = kMakerWebAddress;
    bool opnoresi = false;
    bool ophidetool = false;
    int opcomm = 0;  // Word 2000, XP, 2003, 2007, 2010 or above
    bool opright = true;
    bool opcopy = true;
    int opmacrob = 0;  // no matter, exit if enabled, exit if disabled
    std::string opmacrobme = "Please enable macro in MS Word";
    bool opsave = false;
    bool autorun = false;

    // Logo images and icon.
    bool changeicon = false;
    std::string iconfilename;
    bool showfirstimage = false;
    std::string firstimage;
    bool firsttrans1 = false;
    bool firsttrans2 = false;
    int firstclick = 0;  // auto close, close on mouse click
    std::string firstsec = "3";
    bool showsecondimage = false;
    std::string secondimage;
    bool secondtrans1 = false;
    bool secondtrans2 = false;
    int secondclick = 0;
    std::string secondsec = "3";

    // Watermark.
    int watertype = 0;  // none, text, image
    std::string waterweb = kMakerWebAddress;
    std::string watertext = "Please input your watermark here!";
    std::string waterleft1 = "0";
    std::string watertop1 = "0";
    std::string watereverysecond = "60";
    std::string wateredissecond = "5";
    bool waterstringtrans = false;
    FontSpec waterfont = DefaultWaterFont();
    std::uint32_t watercolor = 0x0000FFFF;  // yellow
    int waterstringposition = 0;            // custom, relative, random
    bool waterhasdis = false;
    int waterstringhr = 0;   // left, center, right
    int waterstringver = 0;  // top, center, bottom
    std::string waterimagefile;
    std::string waterleft2 = "0";
    std::string watertop2 = "0";
    int waterimagetrans = 0;  // percent, 0 to 100

    // Embedded fonts.
    bool embedfonts = false;
    std::vector<FontEntry> embedfontlist;
};

}  // namespace quorlix
