#include "stub/document_output.h"

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include <windows.h>

#include "common/document_name.h"
#include "common/embedded_document.h"
#include "stub/player_log.h"
#include "stub/stub_error.h"
#include "stub/win_file.h"

namespace quorlix {

namespace {

std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path) {
    WinFileSource file(path);
    if (file.Size() > std::numeric_limits<std::size_t>::max()) {
        throw StubError(L"The document in " + path + L" is too large to be taken out");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    file.ReadAt(0, bytes.data(), bytes.size());
    return bytes;
}

// The document with its data alone in memory: the staged copy is released once it is taken out,
// so at most two copies are held at any time, and it is deleted at once, so that only the
// document itself stays on disk while it is open.
EmbeddedDocument TakeOut(const std::wstring& stagedCopy) {
    EmbeddedDocument document = ExtractDocument(ReadWholeFile(stagedCopy));
    if (DeleteFileW(stagedCopy.c_str())) {
        LogStep(L"staged copy deleted");
    }
    return document;
}

std::wstring ToWide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string ToUtf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

std::wstring WriteOriginalDocument(const std::wstring& stagedCopy, const StagingFolder& folder) {
    EmbeddedDocument document = TakeOut(stagedCopy);
    const std::wstring path =
        folder.path() + ToWide(DocumentFileName(document, ToUtf16(AnsiToWide(document.ansiName))));
    WinOutputFile file(path);
    file.Write(document.data);
    file.Close();
    return path;
}

}  // namespace quorlix
