#include "cli/commands.h"
#include "platform/installed_fonts.h"

namespace quorlix {

int RunFontsCommand(const ParsedArguments& args, std::ostream& out, std::ostream&) {
    const std::vector<std::string>& sources = args.Values("from");
    const std::vector<FontListEntry> fonts =
        sources.empty() ? ListInstalledFonts() : ListInstalledFonts(sources);
    for (const FontListEntry& font : fonts) {
        out << font.displayName << '\t' << font.fileEntry << '\n';
    }
    return out ? 0 : 1;
}

}  // namespace quorlix
