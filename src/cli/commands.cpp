#include "cli/commands.h"

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
    };
    return commands;
}

}  // namespace quorlix
