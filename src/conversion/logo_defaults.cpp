// Save and load of the Logo setup page's defaults.
#include "conversion/default_rules.h"
#include "conversion/page_defaults.h"
#include "conversion/page_loading.h"

namespace quorlix {

namespace {

using O = OptionSet;
using T = const std::string&;
using R = LogoLoadReport;
using Click = LogoLoadReport::SecondClick;

// The first image's path edit is emptied before it takes the stored text; left empty, it shows the
// prompt.
void SetFirstImage(O& o, T text, R& report) {
    o.firstimage = text;
    if (text.empty()) {
        o.firstimage = kImagePrompt;
        report.firstImagePrompt = true;
    }
}

void SetSecondClick(O& o, T text, R& report) {
    const bool mouseClick = text == "1";
    o.secondclick = mouseClick ? 1 : 0;
    report.secondClick = mouseClick ? Click::UncheckAutoClose : Click::CheckAutoClose;
}

// One Logo setup value: how its text is applied, and what is written back, with what effect
// on the controls, when the stored value is not a string value.
struct LogoRule {
    const char* name;
    void (*apply)(O& o, T text, R& report);
    const char* fallback;
    void (*repair)(O& o, R& report);
};

void Keep(O&, R&) {}

const LogoRule kLogoRules[] = {
    {"changeicon", [](O& o, T t, R&) { o.changeicon = t == "1"; }, "0",
     [](O& o, R&) { o.changeicon = false; }},
    {"iconfilename", [](O& o, T t, R&) { o.iconfilename = t; }, "", Keep},
    {"showfirstimage", [](O& o, T t, R&) { o.showfirstimage = t == "1"; }, "0",
     [](O& o, R&) { o.showfirstimage = false; }},
    {"firstimage", SetFirstImage, "", [](O& o, R& r) { SetFirstImage(o, "", r); }},
    {"firsttrans1", [](O& o, T t, R&) { o.firsttrans1 = t != "0"; }, "1",
     [](O& o, R&) { o.firsttrans1 = true; }},
    {"firsttrans2", [](O& o, T t, R&) { o.firsttrans2 = t != "0"; }, "1",
     [](O& o, R&) { o.firsttrans2 = true; }},
    {"firstclick", [](O& o, T t, R&) { o.firstclick = t == "1" ? 1 : 0; }, "0", Keep},
    {"firstsec", [](O& o, T t, R&) { o.firstsec = UpDownText(t, 3, 1, 32767); }, "3", Keep},
    {"showsecondimage", [](O& o, T t, R&) { o.showsecondimage = t == "1"; }, "0",
     [](O& o, R&) { o.showsecondimage = false; }},
    {"secondimage", [](O& o, T t, R&) { o.secondimage = t; }, kImagePrompt, Keep},
    {"secondtrans1", [](O& o, T t, R&) { o.secondtrans1 = t != "0"; }, "1",
     [](O& o, R&) { o.secondtrans1 = true; }},
    {"secondtrans2", [](O& o, T t, R&) { o.secondtrans2 = t != "0"; }, "1", Keep},
    {"secondclick", SetSecondClick, "1",
     [](O&, R& r) { r.secondClick = Click::UncheckMouseClick; }},
    {"secondsec", [](O& o, T t, R&) { o.secondsec = UpDownText(t, 3, 1, 32767); }, "3", Keep},
};

// Writes the fallback over a value of another type; a failed write leaves it for next time.
void Repair(SettingsStore& store, const LogoRule& rule, O& options, R& report) {
    try {
        store.WriteString(rule.name, rule.fallback);
        report.repaired.emplace_back(rule.name);
    } catch (const SettingsWriteError&) {
    }
    rule.repair(options, report);
}

}  // namespace

void SaveLogoDefaults(SettingsStore& store, const OptionSet& o) {
    store.WriteStrings({
        {"changeicon", FlagText(o.changeicon)},
        {"iconfilename", o.iconfilename},
        {"showfirstimage", FlagText(o.showfirstimage)},
        {"firstimage", o.firstimage},
        {"firsttrans1", FlagText(o.firsttrans1)},
        {"firsttrans2", FlagText(o.firsttrans2)},
        {"firstclick", o.firstclick == 0 ? "0" : "1"},
        {"firstsec", o.firstsec},
        {"showsecondimage", FlagText(o.showsecondimage)},
        {"secondimage", o.secondimage},
        {"secondtrans1", FlagText(o.secondtrans1)},
        {"secondtrans2", FlagText(o.secondtrans2)},
        {"secondclick", o.secondclick == 0 ? "0" : "1"},
        {"secondsec", o.secondsec},
    });
}

LogoLoadReport LoadLogoDefaults(SettingsStore& store, OptionSet& options) {
    LogoLoadReport report;
    report.opened = OpenForLoad(store);
    if (!report.opened) {
        return report;
    }
    for (const LogoRule& rule : kLogoRules) {
        std::string text;
        try {
            text = store.ReadString(rule.name);
        } catch (const SettingsTypeError&) {
            Repair(store, rule, options, report);
            continue;
        }
        rule.apply(options, text, report);
    }
    return report;
}

}  // namespace quorlix
