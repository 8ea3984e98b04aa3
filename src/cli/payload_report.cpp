#include "cli/payload_report.h"

#include <span>

#include "cli/option_line_fields.h"
#include "common/entry_name.h"
#include "common/payload_error.h"
#include "common/player_options.h"
#include "common/section_document.h"
#include "common/utf16.h"
#include "platform/ansi_code_page.h"
#include "signing/signature_check.h"

namespace quorlix {

namespace {

// option\NAME.dll with no further folder, in any letter case.
bool IsOptionFileName(std::string_view name) {
    constexpr std::string_view kFolder = "option\\";
    constexpr std::string_view kExtension = ".dll";
    return name.size() > kFolder.size() + kExtension.size() &&
           EqualsIgnoringCase(name.substr(0, kFolder.size()), kFolder) &&
           EqualsIgnoringCase(name.substr(name.size() - kExtension.size()), kExtension) &&
           name.find('\\', kFolder.size()) == std::string_view::npos;
}

// The option file's lines as the player reads them, decoded from the ANSI code page.
std::vector<std::string> DecodedLines(const std::string& text) {
    std::vector<std::string> lines = SplitOptionLines(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    for (std::string& line : lines) {
        line = FromAnsi(line);
    }
    return lines;
}

// Inflates every entry (so that damage shows) and keeps the option files' text.
void CheckEntries(const PayloadReader& reader, PayloadReport& report) {
    const auto& entries = reader.layout().entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PackageEntry& entry = entries[i];
        const std::string name = FromAnsi(entry.name);
        // The player refuses to place such an entry, so the output would not run.
        if (!SplitEntryName(name)) {
            throw PayloadError(entry.offset,
                               "entry name \"" + name + "\" is not a plain relative file name");
        }
        report.entries.push_back({name, entry.offset, entry.recordLength, entry.size});
        const bool keep = IsOptionFileName(entry.name) && entry.size <= kMaxOptionFileSize;
        std::string text;
        reader.InflateEntry(i, [&](std::span<const std::uint8_t> chunk) {
            if (keep) {
                text.append(chunk.begin(), chunk.end());
            }
        });
        if (keep) {
            std::vector<std::string> lines = DecodedLines(text);
            std::vector<std::string> fields =
                OptionLineFields(name.substr(name.find('\\') + 1), lines);
            report.optionFiles.push_back({name, std::move(lines), std::move(fields)});
        }
    }
}

}  // namespace

std::string DocumentKindName(EmbeddedDocument::Kind kind) {
    switch (kind) {
        case EmbeddedDocument::Kind::PackageFile:
            return "package-object";
        case EmbeddedDocument::Kind::WordPackage:
            return "word-package";
        case EmbeddedDocument::Kind::WordStorage:
            return "word-storage";
    }
    return "unknown";
}

std::string OriginalDocumentName(const EmbeddedDocument& document) {
    if (!document.unicodeName.empty()) {
        return Utf16ToUtf8(document.unicodeName);
    }
    return FromAnsi(document.ansiName);
}

PayloadReport InspectPayload(ByteSource& source) {
    const PayloadReader reader(source);
    PayloadReport report;
    report.layout = reader.layout();
    CheckEntries(reader, report);
    const SectionDocument document(source, report.layout.document);
    report.documentKind = DocumentKindName(document.place().kind);
    report.documentName = OriginalDocumentName(document.Head());
    report.documentSize = document.place().size;
    report.trailing = TrailingBytesOf(source, report.layout);
    if (report.trailing.codeSignature) {
        report.signer = SignerOf(source);
    }
    return report;
}

}  // namespace quorlix
