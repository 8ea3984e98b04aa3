#include "cli/payload_report.h"

#include <algorithm>
#include <span>

#include "cli/option_line_fields.h"
#include "common/entry_name.h"
#include "common/payload_error.h"
#include "common/player_options.h"
#include "common/section_document.h"
#include "common/utf16.h"
#include "conversion/option_files.h"
#include "imaging/image_loading.h"
#include "platform/ansi_code_page.h"
#include "signing/signature_check.h"

namespace quorlix {

namespace {

constexpr std::string_view kOptionFolder = "option\\";
constexpr std::string_view kFontFolder = "myfont\\";
// The first bytes of a picture that tell its kind.
constexpr std::size_t kSignatureBytes = 64;

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

bool IsOptionFileName(std::string_view name) {
    if (!StartsWithIgnoringCase(name, kOptionFolder)) {
        return false;
    }
    const std::string_view file = name.substr(kOptionFolder.size());
    for (const std::string_view known :
         {kWinsetbrowerFile, kWateroptionsFile, kWinoptionsFile, kTrmack1File, kTrmack2File,
          kTrmacke1File, kTrmacke2File}) {
        if (EqualsIgnoringCase(file, known)) {
            return true;
        }
    }
    return false;
}

// option\wateroptionimage.dll, or option\1 or option\2 with an extension.
bool IsPictureName(std::string_view name) {
    if (EqualsIgnoringCase(name, kWaterImageEntry)) {
        return true;
    }
    if (!StartsWithIgnoringCase(name, kOptionFolder)) {
        return false;
    }
    const std::string_view file = name.substr(kOptionFolder.size());
    return file.size() >= 2 && (file[0] == '1' || file[0] == '2') && file[1] == '.';
}

std::string PictureFormatName(ImageKind kind) {
    switch (kind) {
        case ImageKind::Jpeg:
            return "JPEG";
        case ImageKind::Png:
            return "PNG";
        case ImageKind::Gif:
            return "GIF";
        case ImageKind::Bmp:
            return "BMP";
        case ImageKind::Ico:
            return "ICO";
        case ImageKind::Wmf:
            return "WMF";
        case ImageKind::Emf:
            return "EMF";
        case ImageKind::Unknown:
            break;
    }
    return "unknown";
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
        const EntryKind kind = EntryKindOf(name);
        const bool keep = kind == EntryKind::OptionFile && entry.size <= kMaxOptionFileSize;
        const std::size_t kept = keep                         ? entry.size
                                 : kind == EntryKind::Picture ? kSignatureBytes
                                                              : 0;
        std::string text;
        reader.InflateEntry(i, [&](std::span<const std::uint8_t> chunk) {
            const std::size_t room = kept - std::min(kept, text.size());
            text.append(chunk.begin(), chunk.begin() + std::min(room, chunk.size()));
        });
        report.entries.push_back(
            {name, entry.offset, entry.recordLength, entry.size, kind,
             kind == EntryKind::Picture
                 ? PictureFormatName(DetectImageKind(
                       std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())))
                 : std::string()});
        if (keep) {
            std::vector<std::string> lines = DecodedLines(text);
            std::vector<std::string> fields =
                OptionLineFields(name.substr(name.find('\\') + 1), lines);
            report.optionFiles.push_back({name, std::move(lines), std::move(fields)});
        }
    }
}

}  // namespace

EntryKind EntryKindOf(std::string_view name) {
    if (IsOptionFileName(name)) {
        return EntryKind::OptionFile;
    }
    if (IsPictureName(name)) {
        return EntryKind::Picture;
    }
    return StartsWithIgnoringCase(name, kFontFolder) ? EntryKind::Font : EntryKind::Other;
}

std::string EntryKindName(EntryKind kind) {
    switch (kind) {
        case EntryKind::OptionFile:
            return "option-file";
        case EntryKind::Picture:
            return "picture";
        case EntryKind::Font:
            return "font";
        case EntryKind::Other:
            break;
    }
    return "other";
}

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
