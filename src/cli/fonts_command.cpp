#include "cli/commands.h"
#include "platform/installed_fonts.h"

namespace quorlix {

int RunFontsCommand(const ParsedArguments& args, std::ostream& out, std::ostream&) {
    const std::vector<std::string>& sources = args.Values("from");
    const std::vector<FontListEntry> fonts =
        sources.empty() ? ListInstalledFonts() : ListInstalledFonts(sources);
    // A font without a file (a Type 1 outline without its metrics file) cannot travel.
    for (const FontListEntry& font : fonts) {
        if (!font.fileEntry.empty()) {
            out << font.displayName << '\t' << font.fileEntry << '\n';
        }
    }
    return out ? 0 : 1;
}

}  // namespace quorlix
