#include "stub/stage_payload.h"

#include <windows.h>

#include "common/entry_name.h"
#include "common/payload_error.h"
#include "stub/stub_error.h"
#include "stub/win_file.h"

namespace quorlix {

namespace {

std::vector<std::wstring> EntryParts(const PackageEntry& entry) {
    std::optional<std::vector<std::wstring>> parts = SplitEntryName(AnsiToWide(entry.name));
    if (!parts) {
        throw PayloadError(entry.offset,
                           "entry name \"" + entry.name + "\" is not a plain relative file name");
    }
    if (parts->size() == 1 && lstrcmpiW(parts->front().c_str(), kStagedDocumentName) == 0) {
        throw PayloadError(entry.offset, "entry name \"" + entry.name + "\" is the document's");
    }
    return *std::move(parts);
}

}  // namespace

void StagePayload(const PayloadReader& reader, const StagingFolder& folder) {
    // Every name is checked before anything is written.
    const std::vector<PackageEntry>& entries = reader.layout().entries;
    std::vector<std::vector<std::wstring>> names;
    for (const PackageEntry& entry : entries) {
        names.push_back(EntryParts(entry));
    }
    WinOutputFile document(folder.path() + kStagedDocumentName);
    reader.CopyDocument(PayloadReader::DocumentForm::Unscrambled,
                        [&](std::span<const std::uint8_t> chunk) { document.Write(chunk); });
    document.Close();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        WinOutputFile file(folder.PrepareFile(names[i]));
        reader.InflateEntry(i, [&](std::span<const std::uint8_t> chunk) { file.Write(chunk); });
        file.Close();
    }
}

}  // namespace quorlix
