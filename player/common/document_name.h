#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/embedded_document.h"

namespace quorlix {

// The longest document file name the player writes, in UTF-16 units: short enough that the
// full path in the temporary folder stays within what Word and the shell open.
inline constexpr std::size_t kMaxDocumentNameLength = 120;

// A name from a document's label made into a plain Windows file name: only the part after the
// last '\' or '/'; control characters, unpaired surrogates and :*?"<>| turned into '_'; leading
// blanks and trailing blanks and dots dropped; a device name (CON, NUL, COM1, ...) prefixed with
// '_'; cut to kMaxDocumentNameLength keeping a short extension. Empty when nothing is left.
std::u16string SafeFileName(std::u16string_view label);

// ".docx" for a ZIP file, ".doc" for a compound file, else empty.
std::u16string ExtensionFromContent(std::span<const std::uint8_t> data);

// The file name under which the player writes the document taken out of its staged copy.
// `ansiLabel` is the document's ansiName already decoded from the system code page. A Package
// file is named after its Unicode label, else its ANSI label, with an extension from its content
// when the name has none; Word's own objects get ".docx" (WordPackage) or ".doc" (WordStorage).
// Without a usable name it is "document" and the extension.
std::u16string DocumentFileName(const EmbeddedDocument& document, std::u16string_view ansiLabel);

}  // namespace quorlix
