#include "stub/document_output.h"

#include <cstdint>
#include <span>

#include <windows.h>

#include "common/document_name.h"
#include "common/embedded_document.h"
#include "stub/player_log.h"
#include "stub/stub_error.h"
#include "stub/win_file.h"

namespace quorlix {

namespace {

std::wstring ToWide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string ToUtf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

// The document is copied out of the staged copy a chunk at a time, so memory does not grow with
// its size; the staged copy is deleted once the document is whole, so that only the document
// itself stays on disk while it is open. A failure leaves the partial file to the folder's
// clean-up.
OriginalDocument WriteOriginalDocument(const std::wstring& stagedCopy,
                                       const StagingFolder& folder) {
    OriginalDocument original;
    {
        WinFileSource staged(stagedCopy);
        ContainedDocument document(staged);
        const EmbeddedDocument head = document.Head();
        original.path =
            folder.path() + ToWide(DocumentFileName(head, ToUtf16(AnsiToWide(head.ansiName))));
        original.place = document.place();
        WinOutputFile file(original.path);
        document.CopyData([&file](std::span<const std::uint8_t> chunk) { file.Write(chunk); });
        file.Close();
    }
    if (DeleteFileW(stagedCopy.c_str())) {
        LogStep(L"staged copy deleted");
    }
    return original;
}

}  // namespace quorlix
