#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorlix {

// The original document taken out of a staged copy.
struct EmbeddedDocument {
    enum class Kind {
        PackageFile,  // an OLE Package object: the file from \x01Ole10Native
        WordPackage,  // Word's own object for a .docx: the "Package" stream
        WordStorage,  // Word's own object for a .doc: the whole compound file
    };
    Kind kind = Kind::PackageFile;
    // The label of a Package object in the ANSI code page, as stored; empty for Word's objects.
    std::string ansiName;
    // The label from the Package object's Unicode tail; empty when it has none.
    std::u16string unicodeName;
    std::vector<std::uint8_t> data;
};

// Takes the document out of the bytes of a container stream ("BDOC", aspect, N, compound
// file). Throws CompoundFileError when they hold no readable document.
EmbeddedDocument ExtractDocument(std::span<const std::uint8_t> containerStream);

// The same from the compound file alone.
EmbeddedDocument ExtractDocumentFromStorage(std::span<const std::uint8_t> compoundFile);

}  // namespace quorlix
