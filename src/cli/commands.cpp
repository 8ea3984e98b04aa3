#include "cli/commands.h"

#include <cstdint>

namespace quorlix {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"fonts",
         "List the installed fonts that can be embedded: display name, a tab, font file entry.",
         "",
         0,
         0,
         {{"from", "FILE_OR_FOLDER", true,
           "list the fonts in this file or folder instead of the installed ones; repeatable"}},
         RunFontsCommand},
        {"convert",
         "Convert Word documents, and those directly in the folders given, into executables.",
         "DOCUMENT|FOLDER...",
         0,
         SIZE_MAX,
         {{"output-folder", "DIR", false, "the folder the executables are written to"},
          {"autorun", "", false,
           "put each executable in a subfolder of its own with an Autorun.inf"},
          {"defaults", "", false,
           "start from the defaults saved in the window (Logo setup, Watermark, General option)"},
          {"set", "NAME=VALUE", true,
           "set an option field by its name, the value as the field holds it; repeatable"},
          {"embed-font", "NAME", true,
           "embed the font of this display name (see 'fonts'); repeatable"},
          {"sign-pkcs12", "FILE", false,
           "sign every executable with the certificate, key and chain of this PKCS#12 file"},
          {"sign-password-file", "FILE", false,
           "the PKCS#12 file's password is the first line of this file"},
          {"sign-password-env", "NAME", false,
           "the PKCS#12 file's password is in this environment variable (else it is asked)"},
          {"sign-timestamp", "URL", false,
           "add a timestamp from the RFC 3161 time-stamping authority at this http:// address"}},
         RunConvertCommand,
         OptionFieldsHelp},
        {"inspect",
         "Check an output executable and show its parts, package entries and option files.",
         "EXE",
         1,
         1,
         {{"json", "", false, "write the report as JSON"}},
         RunInspectCommand},
        {"verify",
         "Check that an output executable is whole and, if it is signed, that its signature "
         "holds.",
         "EXE",
         1,
         1,
         {},
         RunVerifyCommand},
        {"extract",
         "Write an output executable's document and package files under DIR, replacing none.",
         "EXE DIR",
         2,
         2,
         {},
         RunExtractCommand},
        {"defaults",
         "Show the defaults saved in the window, one registry value a line.",
         "",
         0,
         0,
         {},
         RunDefaultsCommand},
    };
    return commands;
}

}  // namespace quorlix
