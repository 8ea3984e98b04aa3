#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/trailing_bytes.h"
#include "common/byte_source.h"
#include "common/embedded_document.h"
#include "common/payload_reader.h"

namespace quorlix {

// What a package entry is, by the name the output layout gives it.
enum class EntryKind { OptionFile, Picture, Font, Other };

// One package entry as quorlix-cli shows it; the name decoded from the ANSI code page.
struct EntryReport {
    std::string name;
    std::uint64_t offset = 0;
    std::uint32_t recordLength = 0;
    std::uint32_t size = 0;
    EntryKind kind = EntryKind::Other;
    std::string pictureFormat;  // for a picture: "JPEG", "PNG", ... or "unknown", from its bytes
};

// An option file's lines, decoded from the ANSI code page, and the field each line holds
// (empty for none).
struct OptionFileReport {
    std::string name;
    std::vector<std::string> lines;
    std::vector<std::string> fields;
};

// What an output executable holds, every part of it checked.
struct PayloadReport {
    PayloadLayout layout;
    std::string documentKind;  // "package-object", "word-package" or "word-storage"
    std::string documentName;  // the original file name (UTF-8); empty when the object has none
    std::uint64_t documentSize = 0;
    std::vector<EntryReport> entries;
    std::vector<OptionFileReport> optionFiles;  // the option files, in package order
    TrailingBytes trailing;                     // bytes after the end marker
    std::string signer;  // the subject of a code signature's certificate; empty for none
};

// Reads and checks an output executable: its layout, every entry inflated to its end, and the
// document section, which must hold a container stream with a readable document (read through
// the file, never held whole). Throws PayloadError with the fault's position.
PayloadReport InspectPayload(ByteSource& source);

// The original file name of an embedded document in UTF-8: the Unicode label, else the ANSI
// label decoded; empty for Word's own objects, which carry none.
std::string OriginalDocumentName(const EmbeddedDocument& document);

// What the output layout makes of an entry name: one of the seven option files
// (option\winoptions.dll, ...), a picture (option\wateroptionimage.dll, option\1.* and
// option\2.*), a font (myfont\*) or something else; letter case is ignored.
EntryKind EntryKindOf(std::string_view name);

// An entry kind as the report names it: "option-file", "picture", "font" or "other".
std::string EntryKindName(EntryKind kind);

// The kind of an embedded document as the report names it.
std::string DocumentKindName(EmbeddedDocument::Kind kind);

}  // namespace quorlix
