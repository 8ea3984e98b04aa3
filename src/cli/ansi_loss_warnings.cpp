#include "cli/ansi_loss_warnings.h"

#include "cli/cli_help.h"
#include "platform/ansi_code_page.h"
#include "platform/file_system.h"

namespace quorlix {

namespace {

// Warns when text does not come back whole from the ANSI code page.
void WarnIfLossy(const std::string& field, const std::string& text, std::ostream& err) {
    const int codePage = AnsiCodePage();
    const std::string kept = FromAnsi(ToAnsi(text, codePage), codePage);
    if (kept != text) {
        err << kProgramName << " convert: warning: " << field << " \"" << text
            << "\" loses characters in ANSI code page " << codePage << ": written as \"" << kept
            << "\"\n";
    }
}

}  // namespace

void WarnAboutAnsiLosses(const OptionSet& options, const std::vector<std::string>& documents,
                         std::ostream& err) {
    for (const std::string& document : documents) {
        WarnIfLossy("document name", FileNameOf(document), err);
    }
    WarnIfLossy("opfiletitle", options.opfiletitle, err);
    WarnIfLossy("opweb", options.opweb, err);
    if (!options.opcopy) {
        WarnIfLossy("opmacrobme", options.opmacrobme, err);
    }
    if (options.watertype != 0) {
        WarnIfLossy("waterweb", options.waterweb, err);
    }
    if (options.watertype == 1) {
        WarnIfLossy("watertext", options.watertext, err);
        WarnIfLossy("waterfont (font name)", options.waterfont.name, err);
    }
    if (options.embedfonts) {
        for (const FontEntry& font : options.embedfontlist) {
            WarnIfLossy("embedfontlist (font name)", font.displayName, err);
        }
    }
}

}  // namespace quorlix
