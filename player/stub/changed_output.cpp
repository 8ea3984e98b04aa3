#include "stub/changed_output.h"

#include <memory>

#include "common/document_change.h"
#include "common/document_section.h"
#include "common/section_document.h"
#include "stub/path_parts.h"
#include "stub/player_log.h"
#include "stub/replacement_output.h"
#include "stub/stub_error.h"
#include "stub/win_file.h"

namespace quorlix {

namespace {

std::wstring Milliseconds(DWORD start) {
    return std::to_wstring(GetTickCount() - start) + L" ms";
}

std::u16string ToUtf16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

// The names of the rebuilt Package object: a Package object keeps its own, so that only its data
// differs; Word's own objects carry none, and get the names of the document's file.
PackageObjectNames RebuiltNames(const OriginalDocument& document) {
    const DocumentPlace& place = document.place;
    if (place.kind == EmbeddedDocument::Kind::PackageFile) {
        PackageObjectNames names = StoredNames(place);
        if (names.label.empty()) {
            names.label = ToUtf16(AnsiToWide(names.ansiLabel));
            names.sourcePath = ToUtf16(AnsiToWide(names.ansiSourcePath));
            names.temporaryPath = ToUtf16(AnsiToWide(names.ansiTemporaryPath));
        }
        return names;
    }
    const std::wstring name = FileNameOfPath(document.path);
    const std::wstring path = L"C:\\" + name;
    return {WideToAnsi(name), WideToAnsi(path), WideToAnsi(path),
            ToUtf16(name),    ToUtf16(path),    ToUtf16(path)};
}

}  // namespace

bool DocumentChanged(const PayloadReader& reader, ByteSource& self, const std::wstring& path) {
    const DWORD start = GetTickCount();
    try {
        WinFileSource current(path);
        const SectionDocument original(self, reader.layout().document);
        const bool changed = DocumentDiffers(original, current);
        LogStep((changed ? L"document changed, " : L"document unchanged, ") +
                std::to_wstring(current.Size()) + L" bytes compared in " + Milliseconds(start));
        return changed;
    } catch (const StubError& e) {
        LogStep(L"document not compared: " + e.message());
        return false;
    }
}

void WriteChangedOutput(const PayloadReader& reader, const OriginalDocument& document,
                        const std::wstring& target) {
    const DWORD start = GetTickCount();
    auto changed = std::make_shared<WinFileSource>(document.path);
    const std::uint64_t size = changed->Size();
    StreamContent content;
    content.AppendSource(std::move(changed), 0, size);
    ReplacementOutput output(target);
    WriteOutputWithDocument(reader, RebuiltNames(document), std::move(content), output);
    output.Commit();
    LogStep(L"changes kept in " + target + L", " + std::to_wstring(output.written()) +
            L" bytes written in " + Milliseconds(start));
}

}  // namespace quorlix
